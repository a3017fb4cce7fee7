#include "SimulatedFault.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<SimulatedFault::Kind, const char*>, 9>& kindNames()
{
    static const std::array<std::pair<SimulatedFault::Kind, const char*>, 9> names = { {
        { SimulatedFault::Kind::Delay, "delay" },
        { SimulatedFault::Kind::NoAnswer, "no-answer" },
        { SimulatedFault::Kind::Http500, "http500" },
        { SimulatedFault::Kind::Http503, "http503" },
        { SimulatedFault::Kind::MalformedXml, "malformed-xml" },
        { SimulatedFault::Kind::TruncatedBody, "truncated-body" },
        { SimulatedFault::Kind::Pieces, "pieces" },
        { SimulatedFault::Kind::ErrorReply, "error-reply" },
        { SimulatedFault::Kind::HugeBody, "huge-body" },
    } };
    return names;
}

const std::array<std::pair<SimulatedFault::Target, const char*>, 3>& targetNames()
{
    static const std::array<std::pair<SimulatedFault::Target, const char*>, 3> names = { {
        { SimulatedFault::Target::ProductApi, "product-api" },
        { SimulatedFault::Target::VendorService, "vendor" },
        { SimulatedFault::Target::Image, "image" },
    } };
    return names;
}

template <typename Value, std::size_t Size>
QString nameOf(const std::array<std::pair<Value, const char*>, Size>& names, Value value)
{
    for (const auto& entry : names) {
        if (entry.first == value)
            return QString::fromLatin1(entry.second);
    }
    return {};
}

template <typename Value, std::size_t Size>
bool valueOf(
    const std::array<std::pair<Value, const char*>, Size>& names, const QString& name, Value* value)
{
    for (const auto& entry : names) {
        if (name == QLatin1String(entry.second)) {
            *value = entry.first;
            return true;
        }
    }
    return false;
}

} // namespace

QString SimulatedFault::kindName(Kind kind)
{
    return nameOf(kindNames(), kind);
}

bool SimulatedFault::kindFromName(const QString& name, Kind* kind)
{
    return valueOf(kindNames(), name, kind);
}

QString SimulatedFault::targetName(Target target)
{
    return nameOf(targetNames(), target);
}

bool SimulatedFault::targetFromName(const QString& name, Target* target)
{
    // The request log calls it so.
    if (name == QLatin1String("vendor-service")) {
        *target = Target::VendorService;
        return true;
    }
    return valueOf(targetNames(), name, target);
}
