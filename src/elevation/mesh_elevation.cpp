#include "elevation/mesh_elevation.h"

#include <QFile>
#include <algorithm>
#include <cmath>

#include "elevation/elevation_messages.h"
#include "fileio/whole_file.h"
#include "format/angles.h"
#include "format/checked_float.h"
#include "format/failure.h"
#include "format/number_text.h"

namespace {

constexpr double BesselA = 6377397.155;  // [m]
constexpr double BesselF = 1 / 299.152813;
constexpr double Grs80F = 1 / 298.257222101;
constexpr double ShiftX = -148, ShiftY = 508, ShiftZ = 680;  // [m]

double SquaredEccentricity(double f) { return ToDouble(2.0L * f - static_cast<long double>(f) * f); }

}  // namespace

DatumShift TokyoDatumShift(float meshLat, float meshLng) {
    const double besselE2 = SquaredEccentricity(BesselF);
    const double targetE2 = SquaredEccentricity(Grs80F);
    const long double latDeg = meshLat, lngDeg = meshLng;
    const long double phi = latDeg * Pi / 180;
    const long double lambda = lngDeg * Pi / 180;
    const long double sinPhi = std::sin(phi), cosPhi = std::cos(phi);

    const double n = ToDouble(CheckedDivide(BesselA, CheckedSqrt(1 - besselE2 * sinPhi * sinPhi)));
    const double x = ToDouble(n * cosPhi * std::cos(lambda));
    const double y = ToDouble(n * cosPhi * std::sin(lambda));
    const double z = ToDouble(n * (1 - static_cast<long double>(besselE2)) * sinPhi);
    const double x2 = x + ShiftX, y2 = y + ShiftY, z2 = z + ShiftZ;

    double lambda2 = ToDouble(std::atan(CheckedDivide(y2, x2)) / Pi * 180);
    if (lambda2 < 0) lambda2 += 180;
    const double p = ToDouble(CheckedDivide(y2, std::sin(static_cast<long double>(lambda2) * Pi / 180)));
    const double phi2 = ToDouble(std::atan(CheckedDivide(z2, (1 - static_cast<long double>(targetE2)) * p)) / Pi * 180);

    return {ToSingle(phi2 - latDeg), ToSingle(lambda2 - lngDeg)};
}

TokyoPosition ToTokyoDatum(float queryLat, float queryLng) {
    // The WGS84 position taken as if it were a Tokyo-datum one.
    const DatumShift shift = TokyoDatumShift(queryLat, queryLng);
    const long double lat = queryLat, lng = queryLng;
    return {ToSingle(lat - shift.DatumShiftLat), ToSingle(lng - shift.DatumShiftLng)};
}

MeshCodes MakeMeshCode(float meshLat, float meshLng) {
    const float lngOff = ToSingle(static_cast<long double>(meshLng) - 100);
    const std::int64_t p = Truncate(static_cast<long double>(meshLat) * 1.5L);
    const std::int64_t q = Truncate(lngOff);
    MeshCodes codes;
    codes.PrimaryMeshCode = QString::number(p) + QString::number(q);
    const float latMin = ToSingle((meshLat - p / 1.5L) * 60);
    const std::int64_t r = Truncate(latMin / 5.0L);
    const float lngMin = ToSingle((lngOff - static_cast<long double>(Truncate(lngOff))) * 60);
    const std::int64_t s = Truncate(lngMin / 7.5L);
    codes.MeshCode = codes.PrimaryMeshCode + QString::number(r) + QString::number(s);
    return codes;
}

MeshCellPlace LocateMeshCell(const QString& code, float tLat, float tLng) {
    if (code.size() != 6) throw Failure(elevation_messages::BadMeshCode(code));
    const long double a = ParseWhole(code.mid(0, 2)), b = ParseWhole(code.mid(2, 2));
    const long double c = ParseWhole(code.mid(4, 1)), d = ParseWhole(code.mid(5, 1));
    MeshCellPlace place;
    place.Corner = {ToSingle(a * 2 / 3 + c * 5 / 60), ToSingle(b + 100 + d * 7.5L / 60)};
    const float cLat = ToSingle(place.Corner.MeshLat + 1.0L / 4800);
    const float cLng = ToSingle(place.Corner.MeshLng + 1.0L / 3200);
    const std::int64_t row = RoundToInteger(200 - (static_cast<long double>(tLat) - cLat) / 5 * 200 * 60);
    const std::int64_t col = RoundToInteger((static_cast<long double>(tLng) - cLng) / 7.5L * 200 * 60 + 1);
    place.Cell.Row = static_cast<int>(std::clamp<std::int64_t>(row, 1, MeshCells));
    place.Cell.Col = static_cast<int>(std::clamp<std::int64_t>(col, 1, MeshCells));
    return place;
}

std::int32_t DecodeMeshValue(std::int16_t value) {
    const std::int32_t v = value;
    const std::int32_t rem = (v + 30000) % 10;  // C++ remainders take the dividend's sign
    return (v - rem) / 10 + 1500;
}

std::int32_t MeshElevation(float lat, float lng, const QString& meshDir) {
    const TokyoPosition t = ToTokyoDatum(lat, lng);
    const MeshCodes codes = MakeMeshCode(t.MeshLat, t.MeshLng);

    const QString path = meshDir + codes.MeshCode + QStringLiteral(".bh2");
    if (!QFile::exists(path)) return NoMeshElevation;
    // A file too short for the last cell, or absurdly large, is no usable mesh file.
    const std::optional<QByteArray> read = ReadWholeFile(path, MeshMaxBytes);
    if (!read || read->size() < MeshMinBytes) return NoMeshElevation;
    const QByteArray& data = *read;

    const MeshCell cell = LocateMeshCell(codes.MeshCode, t.MeshLat, t.MeshLng).Cell;
    const qint64 at = cell.ByteOffset();
    const auto low = static_cast<unsigned char>(data[at]);
    const auto high = static_cast<unsigned char>(data[at + 1]);
    return DecodeMeshValue(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8))));
}
