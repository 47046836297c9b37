#include "elevation/mesh_elevation.h"

#include <QFile>
#include <algorithm>
#include <cmath>

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

void TokyoDatumShift(MeshWork& work, const AngleConstants& angles) {
    const double besselE2 = SquaredEccentricity(BesselF);
    const double targetE2 = SquaredEccentricity(Grs80F);
    const long double latDeg = work.MeshLat, lngDeg = work.MeshLng;
    const long double phi = latDeg * angles.Pi / 180;
    const long double lambda = lngDeg * angles.Pi / 180;
    const long double sinPhi = std::sin(phi), cosPhi = std::cos(phi);

    const double n = ToDouble(CheckedDivide(BesselA, CheckedSqrt(1 - besselE2 * sinPhi * sinPhi)));
    const double x = ToDouble(n * cosPhi * std::cos(lambda));
    const double y = ToDouble(n * cosPhi * std::sin(lambda));
    const double z = ToDouble(n * (1 - static_cast<long double>(besselE2)) * sinPhi);
    const double x2 = x + ShiftX, y2 = y + ShiftY, z2 = z + ShiftZ;

    double lambda2 = ToDouble(std::atan(CheckedDivide(y2, x2)) / angles.Pi * 180);
    if (lambda2 < 0) lambda2 += 180;
    const double p = ToDouble(CheckedDivide(y2, std::sin(static_cast<long double>(lambda2) * angles.Pi / 180)));
    const double phi2 =
        ToDouble(std::atan(CheckedDivide(z2, (1 - static_cast<long double>(targetE2)) * p)) / angles.Pi * 180);

    work.DatumShiftLat = ToSingle(phi2 - latDeg);
    work.DatumShiftLng = ToSingle(lambda2 - lngDeg);
}

void ToTokyoDatum(MeshWork& work, const AngleConstants& angles) {
    const long double lat = work.QueryLat, lng = work.QueryLng;
    work.MeshLat = work.QueryLat;
    work.MeshLng = work.QueryLng;
    TokyoDatumShift(work, angles);
    work.MeshLat = ToSingle(lat - work.DatumShiftLat);
    work.MeshLng = ToSingle(lng - work.DatumShiftLng);
}

void MakeMeshCode(MeshWork& work) {
    const float lngOff = ToSingle(static_cast<long double>(work.MeshLng) - 100);
    const std::int64_t p = Truncate(static_cast<long double>(work.MeshLat) * 1.5L);
    const std::int64_t q = Truncate(lngOff);
    work.PrimaryMeshCode = QString::number(p) + QString::number(q);
    const float latMin = ToSingle((work.MeshLat - p / 1.5L) * 60);
    const std::int64_t r = Truncate(latMin / 5.0L);
    const float lngMin = ToSingle((lngOff - static_cast<long double>(Truncate(lngOff))) * 60);
    const std::int64_t s = Truncate(lngMin / 7.5L);
    work.MeshCode = work.PrimaryMeshCode + QString::number(r) + QString::number(s);
}

MeshCell LocateMeshCell(MeshWork& work, float tLat, float tLng) {
    const QString& code = work.MeshCode;
    if (code.size() != 6) throw Failure(QStringLiteral("メッシュコード '%1' が不正です").arg(code));
    const long double a = ParseWhole(code.mid(0, 2)), b = ParseWhole(code.mid(2, 2));
    const long double c = ParseWhole(code.mid(4, 1)), d = ParseWhole(code.mid(5, 1));
    work.MeshLat = ToSingle(a * 2 / 3 + c * 5 / 60);
    work.MeshLng = ToSingle(b + 100 + d * 7.5L / 60);
    const float cLat = ToSingle(work.MeshLat + 1.0L / 4800);
    const float cLng = ToSingle(work.MeshLng + 1.0L / 3200);
    MeshCell cell;
    const std::int64_t row = RoundToInteger(200 - (static_cast<long double>(tLat) - cLat) / 5 * 200 * 60);
    const std::int64_t col = RoundToInteger((static_cast<long double>(tLng) - cLng) / 7.5L * 200 * 60 + 1);
    cell.Row = static_cast<int>(std::clamp<std::int64_t>(row, 1, MeshCells));
    cell.Col = static_cast<int>(std::clamp<std::int64_t>(col, 1, MeshCells));
    return cell;
}

std::int32_t DecodeMeshValue(std::int16_t value) {
    const std::int32_t v = value;
    const std::int32_t rem = (v + 30000) % 10;  // C++ remainders take the dividend's sign
    return (v - rem) / 10 + 1500;
}

std::int32_t MeshElevation(float lat, float lng, MeshWork& work, const QString& meshDir, const AngleConstants& angles) {
    work.QueryLat = lat;
    work.QueryLng = lng;
    ToTokyoDatum(work, angles);
    const float tLat = work.MeshLat, tLng = work.MeshLng;
    MakeMeshCode(work);

    QFile file(meshDir + work.MeshCode + QStringLiteral(".bh2"));
    if (!file.exists()) return NoMeshElevation;
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    // A file too short for the last cell, or absurdly large, is no usable mesh file.
    const qint64 size = file.size();
    if (size < MeshMinBytes || size > MeshMaxBytes) return NoMeshElevation;
    const QByteArray data = file.readAll();
    if (data.size() != size) throw Failure(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    file.close();

    const MeshCell cell = LocateMeshCell(work, tLat, tLng);
    const qint64 at = cell.ByteOffset();
    const auto low = static_cast<unsigned char>(data[at]);
    const auto high = static_cast<unsigned char>(data[at + 1]);
    return DecodeMeshValue(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8))));
}
