#include "MainWindow.h"

#include "AlertEmail.h"
#include "AlertRule.h"
#include "AmazonConnector.h"
#include "AsinContextMenu.h"
#include "DatabaseManager.h"
#include "DesktopNotifier.h"
#include "DialogAbout.h"
#include "DialogAlert.h"
#include "DialogConfirm.h"
#include "DialogPreference.h"
#include "DialogUpdate.h"
#include "DownloadManager.h"
#include "Global.h"
#include "HtmlText.h"
#include "ImageCacheCleaner.h"
#include "ItemRecordKeys.h"
#include "LogText.h"
#include "LoginItem.h"
#include "OptionKeys.h"
#include "PriceHistoryCsv.h"
#include "PriceStatistics.h"
#include "ProductLink.h"
#include "ProductSheet.h"
#include "ReactionPlan.h"
#include "ServiceManager.h"
#include "SoundFile.h"
#include "UserPrompt.h"
#include "VersionNotice.h"
#include "WatchControls.h"
#include "WatchCycle.h"
#include "WatchListWidget.h"
#include "WatchTimer.h"
#include "WidgetPriceHistoryContent.h"
#include "ui_mainwindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <array>
#include <utility>

namespace {

const QLatin1String KeyGeometry("MainWindow/Geometry");
const QLatin1String KeySplitter("MainWindow/SplitterGeometry");
const QLatin1String KeyOptions("MainWindow/Options");
const QLatin1String KeySize("MainWindow/Size");
const QLatin1String KeyLocale("Amazon/Locale");
const QLatin1String KeyLastUpdateCheck("General/LastUpdateCheck");

const int TabItemDetail = 0;
const int TabLog = 2;

const int PasteAndGoDelayMs = 100;

// ASINs are written in capitals; one typed in small letters for an add
// again names the same product, so the key ignores letter case.
QPair<QString, QString> RemovalKey(const QVariantMap& item)
{
    return { item.value(ItemKey::Asin).toString().toUpper(),
        item.value(ItemKey::Locale).toString() };
}

QPair<QString, QString> Identity(const QVariantMap& item)
{
    return { item.value(ItemKey::Asin).toString(), item.value(ItemKey::Locale).toString() };
}

} // namespace

MainWindow::MainWindow(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    SetUpForm();
    m_alertDialog = new DialogAlert(this);
    m_about = new DialogAbout(this);
    CreateErrorBox();

    InstallLoadFailureBox();
    m_database = new DatabaseManager(this);
    ConnectDatabase();
    m_amazon = new AmazonConnector(this);
    ConnectProductClient();
    m_watchTimer = new ::WatchTimer(this);
    connect(
        m_watchTimer, &WatchTimer::timeout, this, &MainWindow::DoCheckNow, Qt::QueuedConnection);
    ConnectWatchList();
    ConnectServices();

    FillStoreSelector();
    CreateTrayIcon();

    RestoreSettings();
    UpdateUI();
    m_service->QueryVersion();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::SetUpForm()
{
    ui = new Ui_MainWindow;
    ui->setupUi(this);

    ui->widgetAddBar->hide();
    ui->menuBar->hide();
    ui->horizontalSliderZoom->hide();

    QFont windowFont = font();
    windowFont.setPointSize(12);
    setFont(windowFont);
    ui->tabPriceHistory->setStyleSheet(QStringLiteral("font-size:11pt;"));
    ui->gridLayoutWatchCondition->setVerticalSpacing(15);
    // Compact, but never narrower than its longest store name: "Deutschland"
    // or "Allemagne" would be cut at the width the English names fit in.
    ui->comboBoxAmazonStore->setMaximumWidth(
        qMax(115, ui->comboBoxAmazonStore->sizeHint().width()));

    ui->lineEditAsin->addAction(ui->actionPasteAndGo);
    ui->lineEditAsin->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        ui->lineEditAsin, &QWidget::customContextMenuRequested, this, &MainWindow::ShowContextMenu);
    connect(ui->pushButtonExportCsv, &QPushButton::clicked, this, &MainWindow::OnExportCsv);
    m_chooseSaveFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(
            this, tr("Export Price History"), suggested, tr("CSV files (*.csv)"));
    };
}

void MainWindow::CreateErrorBox()
{
    m_errorBox = new QMessageBox(QMessageBox::Warning, tr("Error"), QString(), QMessageBox::Ok,
        this, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Error texts often quote replies from the network; they are shown as
    // they are, never interpreted as markup.
    m_errorBox->setTextFormat(Qt::PlainText);
}

void MainWindow::InstallLoadFailureBox()
{
    // The store has no widgets of its own; a file it cannot open is reported
    // here, in a modal box without parent.
    DatabaseManager::SetLoadFailureHandler([](const QString& title, const QString& text) {
        UserPrompt::Ask(nullptr, { QMessageBox::Critical, title, text, QMessageBox::Ok });
    });
}

void MainWindow::ConnectDatabase()
{
    connect(m_database, &DatabaseManager::Error, this, &MainWindow::OnError, Qt::QueuedConnection);
    connect(m_database, &DatabaseManager::PriceUpdated, this, &MainWindow::UpdatePriceHistoryView,
        Qt::QueuedConnection);
}

void MainWindow::ConnectProductClient()
{
    // The watch list first, so one reply updates the rows before anything
    // else reads them.
    connect(m_amazon, &AmazonConnector::ProductInfoAvailable, this, &MainWindow::ShowProductInfo);
    connect(m_amazon, &AmazonConnector::ProductInfoAvailable, m_database,
        &DatabaseManager::UpdateItems);
    connect(m_amazon, &AmazonConnector::ProductInfoAvailable, this,
        &MainWindow::OnProductInfoAvailable);
    connect(m_amazon, &AmazonConnector::Error, this, &MainWindow::OnError, Qt::QueuedConnection);
    connect(m_amazon, &AmazonConnector::CartAvailable, this, &MainWindow::OnCartAvailable);
}

void MainWindow::ShowProductInfo(const QVariantList& items)
{
    QVariantList shown;
    QSet<QPair<QString, QString>> identities;
    for (const QVariant& item : items) {
        const QVariantMap record = item.toMap();
        if (m_removedItems.contains(RemovalKey(record)))
            continue;
        shown << item;
        identities.insert(Identity(record));
    }
    // The alerts this reply raises report the prices seen before it.
    for (const QVariant& item : ui->treeWidgetWatchList->GetItems()) {
        const QVariantMap record = item.toMap();
        if (identities.contains(Identity(record)))
            m_recordsBeforeReply.insert(Identity(record), record);
    }
    ui->treeWidgetWatchList->UpdateItems(shown);
    m_recordsBeforeReply.clear();
}

void MainWindow::ConnectServices()
{
    m_downloads = new DownloadManager(this);
    connect(m_downloads, &DownloadManager::FileDownloaded, this, &MainWindow::OnImageDownloaded,
        Qt::QueuedConnection);
    connect(m_downloads, &DownloadManager::Error, this, &MainWindow::OnDebugError);
    m_service = new ServiceManager(this);
    connect(m_service, &ServiceManager::VersionInfoAvailable, this,
        &MainWindow::OnVersionInfoAvailable);
    connect(m_service, &ServiceManager::Error, this, &MainWindow::OnServiceError);
    m_notifier = new DesktopNotifier(QDBusConnection::sessionBus(), this);
    connect(m_notifier, &DesktopNotifier::PageRequested, this, &MainWindow::OnWebLinkClicked);
}

void MainWindow::ConnectWatchList()
{
    WatchListWidget* list = ui->treeWidgetWatchList;
    connect(list, &WatchListWidget::ItemInfoAvailable, this, &MainWindow::OnItemInfoAvailable);
    connect(list, &WatchListWidget::ItemsUpdated, this, &MainWindow::CheckItems);
    connect(list, &WatchListWidget::WatchListChanged, this, &MainWindow::SaveChangedItems);
}

void MainWindow::FillStoreSelector()
{
    const QStringList& locales = Global::AmazonLocale;
    for (int i = 0; i < locales.size() && i < ui->comboBoxAmazonStore->count(); ++i)
        ui->comboBoxAmazonStore->setItemData(i, locales.at(i), Qt::UserRole);
}

void MainWindow::CreateTrayIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/app16.png"));
    icon.addFile(QStringLiteral(":/app32.png"));
    icon.addFile(QStringLiteral(":/app48.png"));
    m_trayIcon = new QSystemTrayIcon(icon, this);
    m_trayIcon->setVisible(true);
    m_trayIcon->setToolTip(
        QCoreApplication::applicationName() + QStringLiteral(" [") + tr("Idle") + QLatin1Char(']'));

    auto* menu = new QMenu(this);
    QAction* restore = menu->addAction(tr("Restore"));
    menu->addSeparator();
    menu->addAction(ui->actionStart);
    menu->addAction(ui->actionStop);
    menu->addSeparator();
    menu->addAction(ui->actionExit);
    m_trayIcon->setContextMenu(menu);

    connect(restore, &QAction::triggered, this, &MainWindow::RestoreWindow, Qt::QueuedConnection);
    connect(ui->actionExit, &QAction::triggered, this, &MainWindow::Quit, Qt::QueuedConnection);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::OnSystemTrayIconActivated);
}

void MainWindow::SetClock(Clock clock)
{
    m_clock = std::move(clock);
}

// ---------------------------------------------------------------------------
// Log pane and errors

QString MainWindow::TimeStamp() const
{
    return m_clock().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ap"));
}

void MainWindow::AppendLogLine(const QString& html)
{
    ui->textBrowserLog->append(html);
}

void MainWindow::AddLogMessage(const QString& message, const QString& color)
{
    AppendLogLine(LogText::Line(TimeStamp(), message, color));
}

void MainWindow::AddLogMessage(const QVariantMap& item)
{
    AppendLogLine(LogText::AlertLine(TimeStamp(), item));
}

void MainWindow::OnError(const QString& message)
{
    m_errorBox->setText(message);
    m_errorBox->show();
}

// Only a failed alert e-mail concerns the user; the version check fails
// quietly.
void MainWindow::OnServiceError(const QString& message, const QString& service)
{
    if (service == QLatin1String("SendEmail"))
        AddLogMessage(
            tr("The alert e-mail could not be sent: %1").arg(message), QStringLiteral("red"));
}

void MainWindow::OnDebugError(const QString& message)
{
    qDebug() << message;
}

void MainWindow::AppendErrorMessage(const QString& message)
{
    Q_UNUSED(message);
}

void MainWindow::OnWebLinkClicked(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

// ---------------------------------------------------------------------------
// Window, tabs, tray, closing

void MainWindow::RaiseTabPage(int nIndex)
{
    if (nIndex >= 0) {
        ui->tabWidget->setCurrentIndex(nIndex);
        return;
    }
    if (ui->tabWidget->currentIndex() == TabLog)
        ui->tabWidget->setCurrentIndex(TabItemDetail);
}

void MainWindow::RestoreWindow()
{
    showNormal();
    activateWindow();
}

void MainWindow::OnSystemTrayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        RestoreWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Once Quit() has run, the application closes its windows on the way out;
    // minimising then would cancel the quit.
    if (!m_closed && !isMinimized() && m_options.value(OptionKey::CloseToMinimize).toBool()) {
        showMinimized();
        event->ignore();
        return;
    }
    PreClose();
    QMainWindow::closeEvent(event);
}

void MainWindow::Quit()
{
    PreClose();
    QCoreApplication::quit();
}

void MainWindow::UpdateUI()
{
    const bool watching = m_watchTimer->isActive();
    ui->actionStart->setEnabled(!watching);
    ui->actionStop->setEnabled(watching);
    const QString title = QCoreApplication::applicationName() + QStringLiteral(" [")
        + (watching ? tr("Watching") : tr("Idle")) + QStringLiteral("]");
    setWindowTitle(title);
    statusBar()->showMessage(watching
            ? tr("Watching")
            : tr("Pricewarden is idle. You must click \"Start\" to start watching!"));
    m_trayIcon->setToolTip(title);
}

void MainWindow::SetAutoLaunch(bool enable)
{
    LoginItem::Set(enable, this);
}

// ---------------------------------------------------------------------------
// The ASIN field's context menu

QMenu* MainWindow::CreateAsinContextMenu()
{
    return AsinContextMenu::Create(ui->lineEditAsin, ui->actionPasteAndGo);
}

void MainWindow::ShowContextMenu(const QPoint& pos)
{
    if (sender() != ui->lineEditAsin)
        return;
    QMenu* menu = CreateAsinContextMenu();
    menu->exec(ui->lineEditAsin->mapToGlobal(pos));
    delete menu;
    // The menu greys the entry out for an empty clipboard; the action also
    // carries the field's Ctrl+Shift+V shortcut, which must keep working
    // once the clipboard has text (going with an empty one does nothing).
    ui->actionPasteAndGo->setEnabled(true);
}

// ---------------------------------------------------------------------------
// Adding, editing and removing items

QString MainWindow::SelectedLocale() const
{
    return ui->comboBoxAmazonStore->currentData(Qt::UserRole).toString();
}

void MainWindow::SelectStore(const QString& locale)
{
    const int index = Global::AmazonLocale.indexOf(locale);
    if (index >= 0)
        ui->comboBoxAmazonStore->setCurrentIndex(index);
}

void MainWindow::OnTextAsin(const QString& text)
{
    ui->toolButtonAdd->setEnabled(!text.trimmed().isEmpty());
    SelectStore(ProductLink::DetectLocale(text));
}

void MainWindow::OnButtonAdd()
{
    const QString text = ui->lineEditAsin->text().trimmed();
    // Return in the field (and Paste and Go with blanks) gets here even
    // while the add button is disabled; a lookup without an ASIN would only
    // come back as an error box.
    if (text.isEmpty()) {
        ui->lineEditAsin->clear();
        return;
    }
    QString locale = SelectedLocale();
    const QString detected = ProductLink::DetectLocale(text);
    if (!detected.isEmpty())
        locale = detected;
    const QString asin = ProductLink::ExtractAsin(text);

    if (!ui->treeWidgetWatchList->SetCurrentItem(asin, locale)) {
        m_removedItems.remove(RemovalKey({ { ItemKey::Asin, asin }, { ItemKey::Locale, locale } }));
        m_amazon->QueryProduct(QStringList { asin }, QStringList { locale }, false);
    }
    ui->lineEditAsin->clear();
}

void MainWindow::OnPasteAndGo()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    ui->lineEditAsin->setText(text);
    QTimer::singleShot(PasteAndGoDelayMs, this, &MainWindow::OnButtonAdd);
}

void MainWindow::OnAmazonStoreChanged()
{
    const int index = ui->comboBoxAmazonStore->currentIndex();
    ui->toolButtonAmazonStore->setIcon(ui->comboBoxAmazonStore->itemIcon(index));
}

void MainWindow::OnButtonAmazonStore()
{
    const QString locale = SelectedLocale();
    if (locale.isEmpty())
        return;
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(Global::WebHost(locale));
    url.setPath(QStringLiteral("/"));
    url.setQuery(QStringLiteral("tag=") + Global::AssociateIdString.value(locale));
    QDesktopServices::openUrl(url);
}

void MainWindow::UpdateJobSetting()
{
    const QVariantMap record = ui->treeWidgetWatchList->GetCurrentItemData();
    if (!record.isEmpty())
        ui->treeWidgetWatchList->UpdateItem(WatchControls::Read(ui, record), false);
}

void MainWindow::OnRemove()
{
    const QVariantMap record = ui->treeWidgetWatchList->GetCurrentItemData();
    if (record.isEmpty())
        return;
    const QString question = tr("Do you really want to remove item \"%1\"?")
                                 .arg(record.value(ItemKey::Title).toString());
    DialogConfirm confirm(this, QStringLiteral("RemoveItem"), question, tr("Confirm"));
    if (confirm.exec() != QDialog::Accepted)
        return;
    // A look-up of the item may still be on its way (the start-up refresh,
    // a check); its reply would otherwise add the item again.
    m_removedItems.insert(RemovalKey(record));
    m_database->RemoveItem(record);
    ui->treeWidgetWatchList->RemoveItem(record);
}

void MainWindow::SaveChangedItems(const QVariantList& items)
{
    if (m_bGatheringSaves)
        m_unsavedItems << items;
    else
        m_database->SaveItems(items);
}

// ---------------------------------------------------------------------------
// The watch list at start

void MainWindow::RefreshList()
{
    const QVariantList items = m_database->GetItems(QString());
    ui->treeWidgetWatchList->clear();
    ui->treeWidgetWatchList->UpdateItems(items);

    QStringList asins;
    QStringList locales;
    for (const QVariant& item : items) {
        const QVariantMap record = item.toMap();
        asins << record.value(ItemKey::Asin).toString();
        locales << record.value(ItemKey::Locale).toString();
    }
    if (!asins.isEmpty())
        m_amazon->QueryProduct(asins, locales, false);
}

// ---------------------------------------------------------------------------
// Settings

void MainWindow::SetWatchInterval(const QVariant& seconds)
{
    static const qint64 minimum
        = WatchCycle::MinimumSeconds(qgetenv(WatchCycle::MinimumIntervalVariable));
    m_watchTimer->setInterval(WatchCycle::IntervalMilliseconds(seconds, minimum));
}

void MainWindow::RestoreSettings()
{
    QSettings settings;
    const QVariant geometry = settings.value(KeyGeometry);
    if (geometry.isValid())
        restoreGeometry(geometry.toByteArray());
    const QVariant splitter = settings.value(KeySplitter);
    if (splitter.isValid())
        ui->splitterMain->restoreState(splitter.toByteArray());
    if (!WatchListWidget::HasStoredWidths())
        ui->treeWidgetWatchList->ApplyFirstStartWidths();
    ui->treeWidgetWatchList->RestoreSettings();

    const QSize size = settings.value(KeySize, QSize(-1, -1)).toSize();
    if (size.width() >= 0 && size.height() >= 0)
        resize(size);

    m_options = OptionKey::WithDefaults(settings.value(KeyOptions).toMap());
    SetAutoLaunch(m_options.value(OptionKey::AutoLaunch).toBool());
    SetWatchInterval(m_options.value(OptionKey::WatchIntervalSeconds));

    // A stored store code that is none of ours keeps the designed default
    // (the first store), so an add never goes out without a store.
    SelectStore(settings.value(KeyLocale, QStringLiteral("us")).toString());

    RefreshList();
    if (m_options.value(OptionKey::AutoStart).toBool())
        OnStart();
}

void MainWindow::SaveSettings()
{
    // The whole list, once more: what was stored on the way is written
    // again, so the file holds the list as it is shown.
    m_database->SaveItems(ui->treeWidgetWatchList->GetItems());

    QSettings settings;
    settings.setValue(KeyGeometry, saveGeometry());
    settings.setValue(KeySplitter, ui->splitterMain->saveState());
    settings.setValue(KeyOptions, m_options);
    settings.setValue(KeyLocale, SelectedLocale());
    ui->treeWidgetWatchList->SaveSettings();
    // The size the window has now, so the next start opens it exactly so.
    settings.setValue(KeySize, size());
}

void MainWindow::PreClose()
{
    if (m_closed)
        return;
    m_closed = true;
    SaveSettings();
    m_trayIcon->hide();
    ImageCacheCleaner::RemoveFiles(Global::TempDir);
}

// ---------------------------------------------------------------------------
// The watch cycle and the alerts

void MainWindow::OnStart()
{
    const QString email = m_options.value(OptionKey::Email).toString();
    switch (WatchCycle::CheckStart(ui->treeWidgetWatchList->GetItems(), email)) {
    case WatchCycle::StartCheck::MissingEmail:
        UserPrompt::Inform(this, tr("Error"),
            tr("You have set to receive email for alert but you did not provide an email "
               "address. Please go to preferences and set up your email address."));
        return;
    case WatchCycle::StartCheck::NothingWatched:
        UserPrompt::Inform(this, tr("Notice"),
            tr("No items were set as to be watched. You can still set it after watch starts."));
        break;
    case WatchCycle::StartCheck::Ready:
        break;
    }
    QTimer::singleShot(0, this, &MainWindow::DoCheckNow);
    m_watchTimer->start();
    AddLogMessage(tr("Start watching."), QStringLiteral("black"));
    UpdateUI();
}

void MainWindow::OnStop()
{
    // Look-ups already queued still arrive and may still alert.
    m_watchTimer->stop();
    AddLogMessage(tr("Stop watching."), QStringLiteral("black"));
    UpdateUI();
}

void MainWindow::DoCheckNow()
{
    QStringList asins;
    QStringList locales;
    WatchCycle::WatchedItems(ui->treeWidgetWatchList->GetItems(), &asins, &locales);
    if (!asins.isEmpty())
        m_amazon->QueryProduct(asins, locales, true);
}

void MainWindow::CheckItems()
{
    static const QString mailTemplate = AlertEmail::ReadTemplate();
    const ReactionPlan plan
        = ReactionPlan::ForItems(ui->treeWidgetWatchList->GetItems(), m_options, mailTemplate);
    if (plan.IsEmpty())
        return;
    // An alert fires once: its condition is switched off and stored before
    // anything reacts, so a program that ends during the reactions does not
    // alert, mail or fill a cart again when it starts next.
    m_bGatheringSaves = true;
    for (const QVariant& record : plan.SwitchedOff())
        ui->treeWidgetWatchList->UpdateItem(record.toMap(), false);
    m_bGatheringSaves = false;
    m_database->SaveItems(std::exchange(m_unsavedItems, {}));
    // The edit controls showed the condition before the alert; the next
    // edit there would write it back and arm the alert again.
    OnItemInfoAvailable(ui->treeWidgetWatchList->GetCurrentItemData());
    RunReactions(plan);
}

void MainWindow::RunReactions(const ReactionPlan& plan)
{
    if (plan.bPlaySound)
        m_alertDialog->PlayAlertSound(SoundFile::Resolve(plan.soundFile), plan.soundLoops);
    const bool bNotify = m_options.value(OptionKey::DesktopNotifications).toBool();
    for (const ReactionPlan::Alert& alert : plan.alerts) {
        m_alertDialog->ShowNewAlert(alert.record, plan.bRaiseWindows);
        AddLogMessage(alert.record);
        if (bNotify)
            m_notifier->NotifyAlert(alert.record, PriceSeenBefore(alert.record, alert.priceKey));
        if (alert.bMail)
            m_service->QuerySendEmail(plan.email, AlertEmail::Subject(), alert.mailText);
        if (!alert.page.isEmpty())
            QDesktopServices::openUrl(alert.page);
    }
    for (const ReactionPlan::Cart& cart : plan.carts)
        m_amazon->CreateCart(cart.offers, cart.locale);
    if (plan.bRaiseWindows)
        RestoreWindow();
}

QString MainWindow::PriceSeenBefore(const QVariantMap& alert, const QString& priceKey)
{
    // An item that is not in the reply being merged shows what it showed
    // before.
    const auto identity = Identity(alert);
    return AlertRule::PriceBefore(m_recordsBeforeReply.value(identity, alert),
        m_database->LastPricePoint(identity.first, identity.second), priceKey, identity.second);
}

void MainWindow::OnCartAvailable(const QString& cart_url)
{
    const QUrl url = HtmlText::WebUrl(cart_url);
    if (!url.isEmpty())
        QDesktopServices::openUrl(url);
}

void MainWindow::OnAbout()
{
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::OnPreference()
{
    DialogPreference dialog(this);
    dialog.SetOptions(m_options);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QVariantMap before = m_options;
    m_options.insert(dialog.GetOptions());
    const auto changed
        = [&before, this](const QString& key) { return before.value(key) != m_options.value(key); };
    // A running timer counts the new interval from now; a stopped one stays.
    if (changed(OptionKey::WatchIntervalSeconds))
        SetWatchInterval(m_options.value(OptionKey::WatchIntervalSeconds));
    if (changed(OptionKey::AutoLaunch))
        SetAutoLaunch(m_options.value(OptionKey::AutoLaunch).toBool());
}

// ---------------------------------------------------------------------------
// The detail pane

void MainWindow::OnItemInfoAvailable(const QVariantMap& item)
{
    // With nothing selected, the chart, the legend and the controls keep the
    // last item; only the sheet and the export, which name it, go.
    if (!item.contains(ItemKey::Asin)) {
        m_shownItem.clear();
        ui->textBrowserDetail->clear();
        ui->pushButtonExportCsv->setEnabled(false);
        return;
    }
    m_shownItem = item;
    ShowProductSheet();
    WatchControls::Load(ui, item);
    ShowHistory(item);
    ui->pushButtonExportCsv->setEnabled(true);
}

// Set afresh, the sheet loads its image file again, which may have arrived
// since it was last shown.
void MainWindow::ShowProductSheet()
{
    static const QString sheet = [] {
        QFile file(QStringLiteral(":/product_detail.html"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    ui->textBrowserDetail->clear();
    ui->textBrowserDetail->setHtml(ProductSheet::Html(sheet, m_shownItem));
}

// The chart and the legend, read with the store's clock, so that their days
// and averages are those the points were recorded for.
void MainWindow::ShowHistory(const QVariantMap& item)
{
    const QVariantMap history = item.isEmpty()
        ? QVariantMap()
        : m_database->GetPriceHistory(
            item.value(ItemKey::Asin).toString(), item.value(ItemKey::Locale).toString());
    ui->widgetPriceHistory->Content()->SetClock(m_database->Clock());
    ui->widgetPriceHistory->SetData(history);
    if (item.isEmpty())
        return;
    const std::array<PriceStatistics::SeriesTexts, 3> texts
        = PriceStatistics::Texts(history, m_database->Clock());
    const std::array<std::array<QLabel*, 3>, 3> labels { {
        { ui->labelAmazonHighest, ui->labelAmazonLowest, ui->labelAmazonAverage },
        { ui->labelNewHighest, ui->labelNewLowest, ui->labelNewAverage },
        { ui->labelUsedHighest, ui->labelUsedLowest, ui->labelUsedAverage },
    } };
    for (size_t i = 0; i < texts.size(); ++i) {
        labels[i][0]->setText(texts[i].strHighest);
        labels[i][1]->setText(texts[i].strLowest);
        labels[i][2]->setText(texts[i].strAverages);
        labels[i][2]->setToolTip(texts[i].strAveragesToolTip);
    }
}

void MainWindow::OnImageDownloaded(const QString& filename)
{
    // Only the image of the item on show: a late one of an item removed or
    // left meanwhile must not put that item's sheet back.
    // (QFileInfo would call two missing files the same.)
    const QString shown = ProductSheet::ImageFile(m_shownItem);
    if (!shown.isEmpty() && QDir::cleanPath(filename) == QDir::cleanPath(shown))
        ShowProductSheet();
}

void MainWindow::SetSaveFileChooser(SaveFileChooser chooser)
{
    m_chooseSaveFile = std::move(chooser);
}

void MainWindow::OnExportCsv()
{
    if (m_shownItem.isEmpty())
        return;
    const QString asin = m_shownItem.value(ItemKey::Asin).toString();
    const QString locale = m_shownItem.value(ItemKey::Locale).toString();
    // The name comes from the network: no separators, no dots.
    QString name = asin + QLatin1Char('-') + locale;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    // In the documents folder, or at home when there is none (the dialog
    // would otherwise open wherever the program was started).
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString fileName = m_chooseSaveFile(QDir(folder).filePath(name + QStringLiteral(".csv")));
    if (fileName.isEmpty())
        return;
    const QByteArray csv
        = PriceHistoryCsv::Text(m_database->GetPriceHistory(asin, locale), m_database->Clock());
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return;
    UserPrompt::Ask(this,
        { QMessageBox::Warning, tr("Export CSV"),
            tr("The price history could not be saved as %1:\n%2")
                .arg(QDir::toNativeSeparators(fileName), file.errorString()),
            QMessageBox::Ok });
}

// The answer to the check at start. The notice comes up at most once a
// day; its time is kept whether the user downloads or not.
void MainWindow::OnVersionInfoAvailable(const QVariantMap& info)
{
    QSettings settings;
    const qint64 now = m_clock().toSecsSinceEpoch();
    if (!VersionNotice::ShouldShow(
            info, Global::VersionString, settings.value(KeyLastUpdateCheck, 0).toLongLong(), now))
        return;
    DialogUpdate notice(this);
    notice.SetVersionInfo(info);
    const bool download = notice.exec() == QDialog::Accepted;
    settings.setValue(KeyLastUpdateCheck, now);
    const QUrl link = VersionNotice::DownloadLink(info, VersionNotice::ThisPlatform());
    if (download && !link.isEmpty())
        QDesktopServices::openUrl(link);
}

void MainWindow::OnProductInfoAvailable(const QVariantList& items)
{
    QStringList downloads;
    for (const QVariant& item : items) {
        // Only pictures on the web; a reply cannot have a local file copied.
        const QUrl image = HtmlText::WebUrl(item.toMap().value(ItemKey::MediumImage).toString());
        if (!image.isEmpty() && !QFile::exists(DownloadManager::GetSaveFileName(image)))
            downloads << QString::fromUtf8(image.toEncoded());
    }
    if (!downloads.isEmpty())
        m_downloads->Append(downloads);
}

// The legend is refreshed too: the sheet of a reply is shown before its
// prices are stored, so it would otherwise lag one reply behind the chart.
void MainWindow::UpdatePriceHistoryView()
{
    ShowHistory(ui->treeWidgetWatchList->GetCurrentItemData());
}
