#include "QDeviceRegEx.h"

#include <QRegularExpression>

#include <cmath>

const QString QDeviceRegEx::PATTERN =
    QStringLiteral(R"(\A([0-9]+)-\[(.*)\]-([0-9]+(?:\.[0-9]+)?)/([0-9]+)p([0-9]+)-(.*)-(.*)\z)");

namespace {

// A group that does not fit 32 bits reads as 0.
int toInt(const QString& group) {
    bool ok = false;
    const int value = group.toInt(&ok);
    return ok ? value : 0;
}

// Read in single precision, as the rate was stored; an overflow reads as 0.
double toRate(const QString& group) {
    bool ok = false;
    const float value = group.toFloat(&ok);
    return ok && std::isfinite(value) ? static_cast<double>(value) : 0.0;
}

} // namespace

QDeviceRegEx::QDeviceRegEx(const QString& text) : m_text(text) {
    static const QRegularExpression pattern(PATTERN, QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return;
    m_id = toInt(match.captured(1));
    m_name = match.captured(2);
    m_samplerate = toRate(match.captured(3));
    m_channels = toInt(match.captured(4));
    m_pos = toInt(match.captured(5));
    m_codec = match.captured(6);
    m_label = match.captured(7);
}
