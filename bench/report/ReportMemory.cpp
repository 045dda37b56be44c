// What a report window holds in memory over its life on a generated demo journal: after the
// first layout, after several «Обновить», and after the window is closed. Prints the
// process's resident size (from /proc/self/statm) and the heap in use (mallinfo2) at each
// step, so that a leak or a heap that is not given back shows as a figure.
//
//   report_memory [RECORDS [REFRESHES]]     (100000 and 4 when not given)
#include "app/DemoJournal.h"
#include "app/Journal.h"
#include "report/QuerySnapshot.h"
#include "report/ReportSource.h"
#include "report/RptForm.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

double ResidentMB()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double HeapMB()
{
    const struct mallinfo2 m = mallinfo2();
    return (double(m.uordblks) + double(m.hblkhd)) / (1024.0 * 1024.0);
}

void Show(const char* step)
{
    std::printf("%-34s RSS %7.1f MB   heap %7.1f MB\n", step, ResidentMB(), HeapMB());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int refreshes = argc > 2 ? std::atoi(argv[2]) : 4;

    QTemporaryDir dir;
    DemoJournal::EnsureFiles(dir.path(), records);
    TJournal journal(dir.path());
    journal.Start();
    const std::vector<TViewColumn> columns = DefaultViewColumns(journal.Query());
    Show("journal open");

    // The way the main window asks for the whole journal: the worker reads it on a
    // connection of its own.
    auto* form = new TRptForm(TRptForm::JournalLayout());
    form->SetSourceProvider([&]() -> TRptForm::TSourceReader {
        const TReportQuery query = DescribeReportQuery(journal.Connection(), journal.Query(), columns);
        return [query] { return ReadReportSource(query); };
    });
    form->SetMessageSink([](const QString& m) { std::printf("message: %s\n", qPrintable(m)); });
    form->show();
    if (!form->WaitForLayout(600000))
        return 1;
    std::printf("pages: %d\n", form->PageCount());
    Show("report laid out");
    for (int i = 1; i <= refreshes; ++i) {
        form->RequestLayout();
        if (!form->WaitForLayout(600000))
            return 1;
        char step[64];
        std::snprintf(step, sizeof step, "after refresh %d", i);
        Show(step);
    }
    delete form;
    QCoreApplication::processEvents();
    Show("report closed");
    return 0;
}
