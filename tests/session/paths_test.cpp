#include <gtest/gtest.h>

#include "app/crosshair.h"
#include "session/app_paths.h"

namespace {

TEST(AppPaths, DerivedFromTheExecutablesFolder) {
    const AppPaths p = DeriveAppPaths("/A/MV6_DATA/20");
    EXPECT_EQ(p.ExeDir, "/A/MV6_DATA/20/");
    EXPECT_EQ(p.ProductDataDir, "/A/MV6_DATA/");
    EXPECT_EQ(p.InstallRoot, "/A/");
    EXPECT_EQ(p.MeshDir, "/A/MV6_DATA/01/");
    EXPECT_EQ(p.MapPagePath, "/A/MV6_DATA/10/smap.html");
    EXPECT_EQ(p.MyDataDir, QStringLiteral("/A/マイデータ/"));
    EXPECT_EQ(p.DemTempFile, "/A/MV6_DATA/20/dem10b.txt");
    EXPECT_TRUE(p.HtmlOutPath.isEmpty());
}

TEST(AppPaths, MissingFoldersGiveRelativePaths) {
    const struct {
        const char* exe;
        const char *product, *root;
    } cases[] = {
        {"/A/mv6_data/20/", "/A/mv6_data/", ""},  // the search is case-sensitive
        {"/opt/tool/", "", ""},
        {"/X/MV6_DATA/2020/", "", "/X/"},
        {"/20/MV6_DATA/20/", "/", "/20/"},  // the first occurrence counts
    };
    for (const auto& c : cases) {
        const AppPaths p = DeriveAppPaths(c.exe);
        EXPECT_EQ(p.ProductDataDir, c.product) << c.exe;
        EXPECT_EQ(p.InstallRoot, c.root) << c.exe;
        EXPECT_EQ(p.MeshDir, QString(c.product) + "01/") << c.exe;
        EXPECT_EQ(p.MyDataDir, QString(c.root) + QStringLiteral("マイデータ/")) << c.exe;
    }
}

TEST(Crosshair, CentredOnTheBrowserArea) {
    const CrosshairLayout c = CrosshairLayout::For(655, 736, 0);
    EXPECT_EQ(c.Panel3, QPoint(318, 316));
    EXPECT_EQ(c.Panel4, QPoint(318, 377));
    EXPECT_EQ(c.Panel5, QPoint(268, 366));
    EXPECT_EQ(c.Panel6, QPoint(329, 366));
}

}  // namespace
