#include "AmazonConnector.h"

#include "Global.h"
#include "ItemRecordKeys.h"
#include "ReplyText.h"
#include "SignedQuery.h"
#include "XmlReplyCheck.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>
#include <algorithm>
#include <cmath>

namespace {

const QString ItemLookupOperation = QStringLiteral("ItemLookup");
const QString CartCreateOperation = QStringLiteral("CartCreate");
const QString JapaneseLocale = QStringLiteral("jp");

QVariantMap LookupParameters(const QStringList& asins, bool bPriceOnly)
{
    QVariantMap parameters;
    parameters.insert(QStringLiteral("ItemId"), asins.join(QLatin1Char(',')));
    parameters.insert(QStringLiteral("Operation"), ItemLookupOperation);
    parameters.insert(QStringLiteral("ResponseGroup"),
        bPriceOnly ? QStringLiteral("OfferFull")
                   : QStringLiteral("ItemAttributes,OfferFull,Images"));
    return parameters;
}

// The API sends amounts in the currency's smallest unit; the yen has none
// below the main unit. Prices decide alerts and carts, so an amount that is
// no plain price (not a number, "nan", "inf", an overflow, below zero,
// beyond any shop's till) counts as no price at all.
double ConvertAmount(const QString& text, const QString& locale)
{
    bool bNumber = false;
    const double amount = text.toDouble(&bNumber);
    if (!bNumber || !std::isfinite(amount) || amount < 0.0
        || amount > AmazonConnector::MaximumAmount)
        return 0.0;
    return locale == JapaneseLocale ? amount : amount / 100.0;
}

// The texts of a reply as the list and the detail pane may show them.
QString ShortText(const QDomElement& item, const QString& path)
{
    return ReplyText::Displayable(
        AmazonConnector::GetFirstChildText(item, path), ReplyText::ShortTextLength);
}

void InsertIfNotEmpty(QVariantMap& record, const QString& key, const QString& text)
{
    if (!text.isEmpty())
        record.insert(key, text);
}

// An address that is no web link (or a megabyte long) is not fetched at all.
void InsertImage(QVariantMap& record, const QDomElement& item, const QString& size)
{
    QString url = AmazonConnector::GetFirstChildText(item, size + QStringLiteral(",URL"));
    if (url.isEmpty())
        url = AmazonConnector::GetFirstChildText(
            item, QStringLiteral("ImageSets,ImageSet,") + size + QStringLiteral(",URL"));
    InsertIfNotEmpty(record, size, ReplyText::WebLink(url));
}

void InsertListPrice(QVariantMap& record, const QDomElement& item, const QString& locale)
{
    const QString amount = AmazonConnector::GetFirstChildText(
        item, QStringLiteral("ItemAttributes,ListPrice,Amount"));
    if (amount.isEmpty())
        return;
    record.insert(ItemKey::ListPrice, ConvertAmount(amount, locale));
    record.insert(ItemKey::FormattedListPrice,
        ShortText(item, QStringLiteral("ItemAttributes,ListPrice,FormattedPrice")));
}

// Writes "<key>" and "Formatted<key>" from the Amount and FormattedPrice
// children of the element at path; both default to 0 and "".
void InsertPrice(QVariantMap& record, const QDomElement& item, const QString& key,
    const QString& path, const QString& locale)
{
    const QString prefix = path + QLatin1Char(',');
    record.insert(key,
        ConvertAmount(
            AmazonConnector::GetFirstChildText(item, prefix + QStringLiteral("Amount")), locale));
    record.insert(QStringLiteral("Formatted") + key,
        ShortText(item, prefix + QStringLiteral("FormattedPrice")));
}

QString DetailPageUrl(const QString& asin, const QString& locale)
{
    return QStringLiteral("http://") + Global::WebHost(locale) + QStringLiteral("/gp/product/")
        + asin + QStringLiteral("?tag=") + Global::AssociateIdString.value(locale);
}

QVariantMap ReadItem(const QDomElement& item, const QString& locale)
{
    const QString listing = QStringLiteral("Offers,Offer,OfferListing,");
    QVariantMap record;
    record.insert(ItemKey::Locale, locale);
    const QString asin = ShortText(item, QStringLiteral("ASIN"));
    record.insert(ItemKey::Asin, asin);
    for (const QString& size : { QStringLiteral("SmallImage"), QStringLiteral("MediumImage"),
             QStringLiteral("LargeImage") })
        InsertImage(record, item, size);
    InsertIfNotEmpty(record, ItemKey::Title,
        ReplyText::Displayable(
            AmazonConnector::GetFirstChildText(item, QStringLiteral("ItemAttributes,Title")),
            ReplyText::TitleLength));
    InsertListPrice(record, item, locale);
    InsertPrice(record, item, ItemKey::LowestNewPrice,
        QStringLiteral("OfferSummary,LowestNewPrice"), locale);
    InsertPrice(record, item, ItemKey::LowestUsedPrice,
        QStringLiteral("OfferSummary,LowestUsedPrice"), locale);
    InsertIfNotEmpty(record, ItemKey::OfferListingId,
        AmazonConnector::GetFirstChildText(item, listing + QStringLiteral("OfferListingId")));
    InsertPrice(record, item, ItemKey::Price, listing + QStringLiteral("Price"), locale);
    InsertIfNotEmpty(record, ItemKey::IsEligibleForSuperSaverShipping,
        ShortText(item, listing + QStringLiteral("IsEligibleForSuperSaverShipping")));

    const bool inStock = record.value(ItemKey::Price).toDouble() > 0.0;
    record.insert(ItemKey::Availability,
        inStock ? ShortText(item, listing + QStringLiteral("Availability"))
                // Shown in place of the store's own text, so in the user's language.
                : QCoreApplication::translate("AmazonConnector", "Not Available"));
    record.insert(ItemKey::InStock, inStock);
    record.insert(ItemKey::DetailPageUrl, DetailPageUrl(asin, locale));
    return record;
}

// What a lookup reply holds besides the items that are read.
struct Surplus
{
    int unasked = 0; // items of ASINs the lookup did not ask for
    bool beyondTen = false;
};

// Every item that arrives becomes a row of the watch list, so only the items
// asked for are read, and never more than the ten a lookup asks for at most:
// anything else is not the service's answer, and a reply to every poll could
// otherwise add rows without end.
QVariantList ReadItems(
    const QDomElement& root, const QString& locale, const QStringList& askedAsins, Surplus* surplus)
{
    QVariantList items;
    const QString itemTag = QStringLiteral("Item");
    const QDomElement container = root.firstChildElement(QStringLiteral("Items"));
    for (QDomElement item = container.firstChildElement(itemTag); !item.isNull();
         item = item.nextSiblingElement(itemTag)) {
        const QVariantMap record = ReadItem(item, locale);
        if (!askedAsins.isEmpty()
            && !askedAsins.contains(record.value(ItemKey::Asin).toString(), Qt::CaseInsensitive)) {
            ++surplus->unasked;
            continue;
        }
        if (items.size() == AmazonConnector::MaxAsinsPerRequest) {
            surplus->beyondTen = true;
            break;
        }
        items << record;
    }
    return items;
}

// Codes with which the API refuses the account itself: an unknown access
// key, a signature made with another secret key, an associate tag that is
// not the account's. The store's own message may quote the access key, so
// the user is told which file holds the keys instead.
bool IsAccountRefusal(const QString& code)
{
    static const QStringList codes { QStringLiteral("InvalidClientTokenId"),
        QStringLiteral("SignatureDoesNotMatch"), QStringLiteral("MissingClientTokenId"),
        QStringLiteral("IncompleteSignature"), QStringLiteral("InvalidSignature"),
        QStringLiteral("UnrecognizedClient"), QStringLiteral("AccessDenied"),
        QStringLiteral("AWS.InvalidAccount"), QStringLiteral("AWS.InvalidAssociate"),
        QStringLiteral("InvalidAssociate") };
    return codes.contains(code);
}

QString ApiErrorText(const QString& code, const QString& message)
{
    if (IsAccountRefusal(code)) {
        QString file = Global::ConfigurationFilePath();
        if (file.isEmpty())
            file = QCoreApplication::translate("AmazonConnector", "the configuration file");
        return QCoreApplication::translate("AmazonConnector",
            "The store refused the configured account keys (%1). Check the keys in %2.")
            .arg(code, file);
    }
    // The service's own words, shown in a message box.
    return QCoreApplication::translate("AmazonConnector", "Invalid Request: ")
        + ReplyText::Displayable(message.isEmpty() ? code : message, ReplyText::MessageLength);
}

// The API reports a refused request under the request element of its
// answer ("Items" or "Cart", then "Request"); a request refused outright
// (bad signature, throttling) comes as an error document whose root holds
// the "Error" element. Returns whether an error is present and the text
// that tells the user.
bool FindApiError(const QDomElement& root, const QString& operation, QString* errorText)
{
    const QString container
        = operation == CartCreateOperation ? QStringLiteral("Cart") : QStringLiteral("Items");
    const QDomElement request
        = root.firstChildElement(container).firstChildElement(QStringLiteral("Request"));
    const QString errorPaths[][2] = {
        { QStringLiteral("Errors,Error,Code"), QStringLiteral("Errors,Error,Message") },
        { QStringLiteral("Error,Code"), QStringLiteral("Error,Message") },
    };
    const QDomElement parents[] = { request, root };
    for (int i = 0; i < 2; ++i) {
        const QString code = AmazonConnector::GetFirstChildText(parents[i], errorPaths[i][0]);
        if (code.isEmpty())
            continue;
        *errorText
            = ApiErrorText(code, AmazonConnector::GetFirstChildText(parents[i], errorPaths[i][1]));
        return true;
    }
    return false;
}

QString TimestampText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

} // namespace

AmazonConnector::AmazonConnector(QObject* parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    // The proxy of the system (http_proxy on Linux) carries every request;
    // that is also how a simulated store stands in for the service.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_networkAccessManager = new QNetworkAccessManager(this);
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &AmazonConnector::OnReplyTimeout);
}

AmazonConnector::~AmazonConnector()
{
    m_replyTimer.stop();
    if (m_currentReply) {
        // Deleting a running reply aborts it; nothing of it may reach this
        // half-destroyed object any more.
        disconnect(m_currentReply, nullptr, this, nullptr);
        delete m_currentReply;
    }
}

void AmazonConnector::SetClock(Clock clock)
{
    if (clock)
        m_clock = std::move(clock);
    else
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };
}

void AmazonConnector::SetReplyTimeout(int nMilliseconds)
{
    m_replyTimeoutMs = std::max(1, nMilliseconds);
}

void AmazonConnector::SetPause(int nMilliseconds)
{
    m_pauseMs = std::max(0, nMilliseconds);
}

void AmazonConnector::QueryProduct(
    const QStringList& asins, const QStringList& locales, bool bPriceOnly)
{
    QMap<QString, QStringList> asinsByLocale;
    const qsizetype pairs = std::min(asins.size(), locales.size());
    for (qsizetype i = 0; i < pairs; ++i)
        asinsByLocale[locales.at(i)] << asins.at(i);
    // Stores outside the table are never asked.
    for (const QString& locale : std::as_const(Global::AmazonLocale)) {
        const QStringList storeAsins = asinsByLocale.value(locale);
        if (!storeAsins.isEmpty())
            QueryProduct(storeAsins, locale, bPriceOnly);
    }
}

void AmazonConnector::QueryProduct(const QStringList& asins, const QString& locale, bool bPriceOnly)
{
    QStringList wanted = asins;
    if (bPriceOnly) {
        // Polls come round at a fixed interval whether or not the last one
        // was answered. When the store answers slower than that, asking
        // again for items still waiting here would grow the queue without
        // end; their waiting look-up brings the prices all the same.
        wanted.clear();
        for (const QString& asin : asins) {
            if (!m_waitingLookups.contains({ locale, asin }) && !wanted.contains(asin))
                wanted << asin;
        }
    }
    for (qsizetype start = 0; start < wanted.size(); start += MaxAsinsPerRequest)
        RequestQuery(LookupParameters(wanted.mid(start, MaxAsinsPerRequest), bPriceOnly), locale);
}

void AmazonConnector::CreateCart(const QVariantMap& offers, const QString& locale)
{
    QVariantMap parameters;
    parameters.insert(QStringLiteral("Operation"), CartCreateOperation);
    int index = 0;
    for (auto it = offers.cbegin(); it != offers.cend(); ++it, ++index) {
        parameters.insert(QStringLiteral("Item.%1.OfferListingId").arg(index), it.key());
        parameters.insert(QStringLiteral("Item.%1.Quantity").arg(index), it.value().toString());
    }
    RequestQuery(parameters, locale);
}

void AmazonConnector::RequestQuery(const QVariantMap& requestData, const QString& locale)
{
    QVariantMap entry;
    entry.insert(QStringLiteral("RequestData"), requestData);
    entry.insert(QStringLiteral("Locale"), locale);
    m_queryQueue.append(entry);
    TrackWaitingLookup(entry, 1);
    if (m_queryQueue.size() == 1 && !m_currentReply)
        QTimer::singleShot(0, this, &AmazonConnector::ExecuteNextQuery);
}

void AmazonConnector::ExecuteNextQuery()
{
    ReleaseCurrentReply();
    if (m_queryQueue.isEmpty())
        return;
    const QVariantMap entry = m_queryQueue.takeFirst().toMap();
    TrackWaitingLookup(entry, -1);
    const QString locale = entry.value(QStringLiteral("Locale")).toString();
    SendRequest(
        CompleteParameters(entry.value(QStringLiteral("RequestData")).toMap(), locale), locale);
}

void AmazonConnector::TrackWaitingLookup(const QVariantMap& entry, int nChange)
{
    const QVariantMap parameters = entry.value(QStringLiteral("RequestData")).toMap();
    if (parameters.value(QStringLiteral("Operation")).toString() != ItemLookupOperation)
        return;
    const QString locale = entry.value(QStringLiteral("Locale")).toString();
    const QStringList asins
        = parameters.value(QStringLiteral("ItemId")).toString().split(QLatin1Char(','));
    for (const QString& asin : asins) {
        const QPair<QString, QString> key { locale, asin };
        const int nCount = m_waitingLookups.value(key) + nChange;
        if (nCount > 0)
            m_waitingLookups.insert(key, nCount);
        else
            m_waitingLookups.remove(key);
    }
}

QVariantMap AmazonConnector::CompleteParameters(
    const QVariantMap& requestData, const QString& locale) const
{
    QVariantMap parameters = requestData;
    parameters.insert(QStringLiteral("AWSAccessKeyId"), Global::AccessKeyString);
    parameters.insert(QStringLiteral("AssociateTag"), Global::AssociateIdString.value(locale));
    parameters.insert(QStringLiteral("Service"), QStringLiteral("AWSECommerceService"));
    parameters.insert(QStringLiteral("Timestamp"), TimestampText(m_clock()));
    return parameters;
}

void AmazonConnector::SendRequest(const QVariantMap& parameters, const QString& locale)
{
    QNetworkRequest request(SignedQuery::SignedUrl(Global::ApiHost(locale), parameters));
    request.setRawHeader("User-Agent", Global::UserAgentString.toLatin1());

    m_replyBody.clear();
    m_replyError = QNetworkReply::NoError;
    m_sslErrorReported = false;
    m_timedOut = false;
    m_tooLarge = false;

    QNetworkReply* reply = m_networkAccessManager->get(request);
    m_currentReply = reply;
    reply->setProperty("Locale", locale);
    reply->setProperty("Operation", parameters.value(QStringLiteral("Operation")));
    reply->setProperty("ItemId", parameters.value(QStringLiteral("ItemId")));
    disconnect(reply, nullptr, this, nullptr);
    connect(reply, &QNetworkReply::readyRead, this, &AmazonConnector::OnReadyRead);
    connect(reply, &QNetworkReply::errorOccurred, this, &AmazonConnector::OnError);
#if QT_CONFIG(ssl)
    connect(reply, &QNetworkReply::sslErrors, this, &AmazonConnector::OnSslError);
#endif
    // Queued, so that the reply has emitted everything else before the
    // connector reports it and starts the pause.
    connect(
        reply, &QNetworkReply::finished, this, &AmazonConnector::OnFinished, Qt::QueuedConnection);
    m_replyTimer.start(m_replyTimeoutMs);
}

void AmazonConnector::ReleaseCurrentReply()
{
    if (!m_currentReply)
        return;
    disconnect(m_currentReply, nullptr, this, nullptr);
    m_currentReply->deleteLater();
    m_currentReply = nullptr;
}

void AmazonConnector::OnReadyRead()
{
    // A reply may arrive in many pieces; it is parsed once, whole, when it
    // has finished.
    if (!m_currentReply || m_tooLarge)
        return;
    if (m_replyBody.size() + m_currentReply->bytesAvailable() > MaximumReplyBytes) {
        m_tooLarge = true;
        m_replyBody.clear();
        m_currentReply->abort();
        return;
    }
    m_replyBody += m_currentReply->readAll();
}

void AmazonConnector::OnError(QNetworkReply::NetworkError error)
{
    // Reported once the reply has finished: an HTTP error may carry the
    // API's own explanation in its body.
    m_replyError = error;
}

void AmazonConnector::OnSslError()
{
    // The errors are not ignored, so the reply fails after this; the
    // network error that follows is not reported a second time.
    m_sslErrorReported = true;
    emit Error(tr("Ssl error."));
}

void AmazonConnector::OnReplyTimeout()
{
    if (!m_currentReply || m_currentReply->isFinished())
        return;
    m_timedOut = true;
    m_currentReply->abort();
}

void AmazonConnector::OnFinished()
{
    m_replyTimer.stop();
    if (m_currentReply && m_currentReply->isOpen() && !m_tooLarge)
        m_replyBody += m_currentReply->readAll();
    ReportFinishedReply();
    m_replyBody.clear();
    // Pacing: the next request leaves no earlier than the pause after this
    // reply, whatever its outcome. A precise timer never fires early.
    QTimer::singleShot(m_pauseMs, Qt::PreciseTimer, this, &AmazonConnector::ExecuteNextQuery);
}

void AmazonConnector::ReportFinishedReply()
{
    if (m_sslErrorReported)
        return;
    if (m_tooLarge) {
        emit Error(tr("Invalid reply: more than %1 MiB").arg(MaximumReplyBytes / (1024 * 1024)));
        return;
    }
    if (m_timedOut) {
        emit Error(tr("Network error: %1 (no complete answer within %2 seconds)")
                       .arg(static_cast<int>(QNetworkReply::OperationCanceledError))
                       .arg(m_replyTimeoutMs / 1000.0));
        return;
    }
    if (m_replyError == QNetworkReply::NoError) {
        ParseXml(m_replyBody);
        return;
    }
    QDomDocument document;
    QString message;
    if (XmlReplyCheck::Problem(m_replyBody).isEmpty() && document.setContent(m_replyBody)
        && FindApiError(document.documentElement(),
            m_currentReply ? m_currentReply->property("Operation").toString() : QString(),
            &message)) {
        emit Error(message);
        return;
    }
    emit Error(tr("Network error: %1").arg(static_cast<int>(m_replyError)));
}

QString AmazonConnector::GetFirstChildText(const QDomElement& parent, const QString& path)
{
    QDomElement element = parent;
    const QStringList names = path.split(QLatin1Char(','));
    for (const QString& name : names) {
        // firstChildElement() with an empty name would take any child.
        if (element.isNull() || name.isEmpty())
            return QString();
        element = element.firstChildElement(name);
    }
    return element.isNull() ? QString() : element.text();
}

void AmazonConnector::ParseXml(const QByteArray& data)
{
    if (!m_currentReply)
        return;
    ParseXml(data, m_currentReply->property("Operation").toString(),
        m_currentReply->property("Locale").toString(),
        m_currentReply->property("ItemId").toString().split(QLatin1Char(','), Qt::SkipEmptyParts));
}

void AmazonConnector::ParseXml(const QByteArray& data, const QString& operation,
    const QString& locale, const QStringList& askedAsins)
{
    if (operation != ItemLookupOperation && operation != CartCreateOperation)
        return;
    // Refused before it becomes a DOM, whose teardown recurses once per level.
    const QString problem = XmlReplyCheck::Problem(data);
    if (!problem.isEmpty()) {
        emit Error(tr("Invalid reply: %1").arg(problem));
        return;
    }
    QDomDocument document;
    QString parseError;
    int line = 0;
    int column = 0;
    if (!document.setContent(data, &parseError, &line, &column)) {
        // The parser's reason may quote the reply (an encoding name, say).
        emit Error(tr("Invalid reply: %1 (line %2, column %3)")
                       .arg(ReplyText::Displayable(parseError, ReplyText::MessageLength))
                       .arg(line)
                       .arg(column));
        return;
    }
    const QDomElement root = document.documentElement();
    if (operation == ItemLookupOperation)
        ParseLookupReply(root, locale, askedAsins);
    else
        ParseCartReply(root);
}

void AmazonConnector::ParseLookupReply(
    const QDomElement& root, const QString& locale, const QStringList& askedAsins)
{
    QString message;
    const bool failed = FindApiError(root, ItemLookupOperation, &message);
    Surplus surplus;
    const QVariantList items = ReadItems(root, locale, askedAsins, &surplus);
    // One invalid ASIN makes the service flag the whole request, yet it
    // still answers for the valid ones; those must not be lost. The items go
    // first so that a blocking error box does not hold them back.
    if (!failed || !items.isEmpty())
        emit ProductInfoAvailable(items);
    if (failed)
        emit Error(message);
    else if (surplus.unasked > 0)
        emit Error(
            tr("Invalid reply: %n item(s) that were not asked for", nullptr, surplus.unasked));
    else if (surplus.beyondTen)
        emit Error(tr("Invalid reply: more than %1 items").arg(MaxAsinsPerRequest));
}

void AmazonConnector::ParseCartReply(const QDomElement& root)
{
    QString message;
    if (FindApiError(root, CartCreateOperation, &message)) {
        emit Error(message);
        return;
    }
    const QString url = GetFirstChildText(root, QStringLiteral("Cart,PurchaseURL"));
    if (url.isEmpty())
        return;
    // The checkout page goes to the browser; nothing else may.
    if (ReplyText::WebLink(url).isEmpty())
        emit Error(tr("Invalid reply: the checkout page is no web address"));
    else
        emit CartAvailable(url);
}
