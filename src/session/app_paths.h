#pragma once

#include <QString>

/// Every folder and file the tool uses, derived from the executable's folder. Folder values
/// end with "/".
struct AppPaths {
    QString ExeDir;          ///< the executable's folder
    QString ProductDataDir;  ///< ExeDir up to and including the "/" before "20/"; empty if none
    QString InstallRoot;     ///< ExeDir up to and including the "/" before "MV6_DATA"; empty if none
    QString MeshDir;         ///< ProductDataDir + "01/"
    QString MapPagePath;     ///< ProductDataDir + "10/smap.html"
    QString MyDataDir;       ///< InstallRoot + "マイデータ/"
    QString DemTempFile;     ///< ExeDir + "dem10b.txt"
    QString HtmlOutPath;     ///< the page file last chosen in the save dialog
};

/// the paths for an executable in exeDir (with or without its trailing "/")
AppPaths DeriveAppPaths(const QString& exeDir);
