#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The program's options. Without a command the program opens its window; the commands run
// headless, for scripts and tests.
struct TCommandLine {
    QString DataDir; // the program's folder for data files
    QString Database; // a connection string; empty for the default data source
    QString LogFile;

    bool List = false;
    std::optional<QString> Search;
    std::vector<std::pair<int, QString>> Filters; // grid row, value
    std::optional<int> Sort;
    bool Reverse = false;
    std::optional<QString> TitleSort;
    bool Full = false;
    std::optional<int> CreateDemo; // record count of a demo journal to create when missing
    std::optional<QString> ReportPdf; // the report of the query as a PDF file
    std::optional<QString> ReportEmf; // the report's pages as EMF files named by this prefix

    QString Error; // a message when the arguments cannot be read
    bool Help = false;
    bool Version = false;

    bool Report() const { return ReportPdf || ReportEmf; }
    bool AnyQuery() const { return Search || !Filters.empty() || Sort || Reverse || TitleSort; }
    static TCommandLine Parse(const QStringList& arguments);
    // Whether the arguments ask for a report file, read before any application object
    // exists: a report needs fonts and painting, so it runs on a headless GUI application.
    static bool AsksForReport(const QStringList& arguments);
    static bool TakesValue(const QString& option);
    static QString Usage();
};
