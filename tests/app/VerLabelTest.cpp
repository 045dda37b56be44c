#include "TestApplication.h"
#include "app/VerLabel.h"

#include <gtest/gtest.h>

TEST(VersionInfo, TextOfEachKind)
{
    TFixedFileInfo info;
    info.dwFileVersionMS = 0x00020003;
    info.dwFileVersionLS = 0x00040005;
    info.dwProductVersionMS = 0x00070000;
    info.dwProductVersionLS = 0x0000FFFF;
    info.dwFileDateMS = 0x01D80001;
    info.dwFileDateLS = 0x00000002;
    EXPECT_EQ(FixedInfoText(info, vsFileVersion), "2.3.4.5");
    EXPECT_EQ(FixedInfoText(info, vsProductVersion), "7.0.0.65535");
    EXPECT_EQ(FixedInfoText(info, vsFileDate), "472.1.0.2");
    for (TFixedInfo kind : { vsFileVersion, vsProductVersion, vsFileDate })
        EXPECT_EQ(FixedInfoText(std::nullopt, kind), "N/A");
}

TEST(VersionInfo, ResourceFromVersionText)
{
    struct TCase {
        QString text;
        std::optional<QString> shown;
    } cases[] = {
        { "0.1.0", "0.1.0.0" },
        { "1.2.3.4", "1.2.3.4" },
        { "7", "7.0.0.0" },
        { "65535.0.0.1", "65535.0.0.1" },
        { "65536.0", std::nullopt },
        { "1.2.3.4.5", std::nullopt },
        { "1.x", std::nullopt },
        { "", std::nullopt },
    };
    for (const TCase& c : cases) {
        const auto resource = VersionResourceFrom(c.text);
        ASSERT_EQ(resource.has_value(), c.shown.has_value()) << c.text.toStdString();
        if (resource) {
            EXPECT_EQ(FixedInfoText(resource, vsFileVersion), *c.shown) << c.text.toStdString();
            EXPECT_EQ(FixedInfoText(resource, vsProductVersion), *c.shown);
            EXPECT_EQ(FixedInfoText(resource, vsFileDate), "0.0.0.0");
        }
    }
}

TEST(VerLabel, ShowsTheProgramVersionOnceTheKindChanges)
{
    TestApplication();
    const QString project = QString::fromLatin1(VESKOR_PROJECT_VERSION);
    TVerLabel label;
    EXPECT_EQ(label.InfoType(), vsFileDate);
    EXPECT_EQ(label.text(), "");
    label.SetInfoType(vsFileDate);
    EXPECT_EQ(label.text(), "") << "the kind it already has changes nothing";

    label.SetInfoType(vsFileVersion);
    EXPECT_TRUE(label.text().startsWith(project)) << label.text().toStdString();
    EXPECT_EQ(label.text().count('.'), 3);
    label.SetInfoType(vsFileDate);
    EXPECT_EQ(label.text(), "0.0.0.0");

    TVerLabel none(std::nullopt, nullptr);
    none.SetInfoType(vsFileVersion);
    EXPECT_EQ(none.text(), "N/A");
}
