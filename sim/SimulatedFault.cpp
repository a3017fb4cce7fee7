#include "SimulatedFault.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<SimulatedFault::Kind, const char*>, 7>& kindNames()
{
    static const std::array<std::pair<SimulatedFault::Kind, const char*>, 7> names = { {
        { SimulatedFault::Kind::Delay, "delay" },
        { SimulatedFault::Kind::NoAnswer, "no-answer" },
        { SimulatedFault::Kind::Http500, "http500" },
        { SimulatedFault::Kind::Http503, "http503" },
        { SimulatedFault::Kind::MalformedXml, "malformed-xml" },
        { SimulatedFault::Kind::TruncatedBody, "truncated-body" },
        { SimulatedFault::Kind::Pieces, "pieces" },
    } };
    return names;
}

} // namespace

QString SimulatedFault::kindName(Kind kind)
{
    for (const auto& entry : kindNames()) {
        if (entry.first == kind)
            return QString::fromLatin1(entry.second);
    }
    return {};
}

bool SimulatedFault::kindFromName(const QString& name, Kind* kind)
{
    for (const auto& entry : kindNames()) {
        if (name == QLatin1String(entry.second)) {
            *kind = entry.first;
            return true;
        }
    }
    return false;
}
