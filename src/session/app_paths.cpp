#include "session/app_paths.h"

AppPaths DeriveAppPaths(const QString& exeDir) {
    AppPaths p;
    p.ExeDir = exeDir.endsWith(QLatin1Char('/')) ? exeDir : exeDir + QLatin1Char('/');
    // Exact, case-sensitive searches; the prefix keeps the "/" before the folder's name.
    const qsizetype data = p.ExeDir.indexOf(QLatin1String("/20/"));
    if (data >= 0) p.ProductDataDir = p.ExeDir.left(data + 1);
    const qsizetype root = p.ExeDir.indexOf(QLatin1String("/MV6_DATA"));
    if (root >= 0) p.InstallRoot = p.ExeDir.left(root + 1);
    p.MeshDir = p.ProductDataDir + QStringLiteral("01/");
    p.MapPagePath = p.ProductDataDir + QStringLiteral("10/smap.html");
    p.MyDataDir = p.InstallRoot + QStringLiteral("マイデータ/");
    p.DemTempFile = p.ExeDir + QStringLiteral("dem10b.txt");
    return p;
}
