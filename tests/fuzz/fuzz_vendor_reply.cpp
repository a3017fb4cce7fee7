// The vendor service's reply parser: any bytes as the body of a reply.
#include "FuzzSupport.h"
#include "ReplyText.h"
#include "ServiceManager.h"

#include <cstdint>

namespace {

int answers = 0;

ServiceManager* Client()
{
    static ServiceManager* client = [] {
        auto* created = new ServiceManager;
        const auto counted = [] { ++answers; };
        QObject::connect(created, &ServiceManager::Error, created,
            [](const QString& message, const QString& service, const QString& level) {
                ++answers;
                FUZZ_CHECK(FuzzSupport::IsOneSaneLine(message, ReplyText::MessageLength));
                FUZZ_CHECK(FuzzSupport::IsOneSaneLine(level, ReplyText::ShortTextLength));
                FUZZ_CHECK(service.isEmpty()); // no request is in flight
            });
        QObject::connect(
            created, &ServiceManager::VersionInfoAvailable, created, [](const QVariantMap& info) {
                ++answers;
                FUZZ_CHECK(FuzzSupport::IsOneSaneLine(
                    info.value(QStringLiteral("LatestVersion")).toString(),
                    ReplyText::ShortTextLength));
            });
        QObject::connect(created, &ServiceManager::UserInfoAvailable, created, counted);
        QObject::connect(created, &ServiceManager::SyncDataAvailable, created, counted);
        QObject::connect(created, &ServiceManager::CoverImagesAvailable, created, counted);
        QObject::connect(created, &ServiceManager::SearchResultAvailable, created, counted);
        QObject::connect(created, &ServiceManager::TitleInfosAvailable, created, counted);
        return created;
    }();
    return client;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    answers = 0;
    Client()->ParseXml(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    // At most one answer per reply; none only for a delivered e-mail.
    FUZZ_CHECK(answers <= 1);
    return 0;
}
