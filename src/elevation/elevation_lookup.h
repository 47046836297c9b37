#pragma once

#include <QString>

#include "elevation/downloader.h"
#include "elevation/mesh_elevation.h"

/// The national survey's tile server.
inline const char* const ProductionTileBase = "https://cyberjapandata.gsi.go.jp";

/// Where elevations come from.
struct ElevationSources {
    QString TileBase;     ///< scheme and host of the tile server, no trailing "/"
    QString DemTempFile;  ///< the download target, removed after every lookup
    QString MeshDir;      ///< folder of the local mesh files, ending with "/"
};

/// elevation [whole m] of a WGS84 point [deg]: the online tile's value, else the local mesh
/// value (NoMeshElevation where no mesh file covers it). Failure when a tile or mesh file
/// that exists cannot be read.
float LookupElevation(float lat, float lng, const ElevationSources& sources, Downloader& downloader);

/// the hidden diagnostic: the elevation of a fixed point in the general format
QString DiagnosticElevationText(const ElevationSources& sources, Downloader& downloader);
