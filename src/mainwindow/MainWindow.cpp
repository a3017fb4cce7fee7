#include "MainWindow.h"

#include "AmazonConnector.h"
#include "AutostartEntry.h"
#include "DatabaseManager.h"
#include "DialogConfirm.h"
#include "Global.h"
#include "HtmlText.h"
#include "ImageCacheCleaner.h"
#include "ItemRecordKeys.h"
#include "OptionKeys.h"
#include "ProductLink.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"
#include "ui_mainwindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QUrl>
#include <algorithm>
#include <limits>

namespace {

const QLatin1String KeyGeometry("MainWindow/Geometry");
const QLatin1String KeySplitter("MainWindow/SplitterGeometry");
const QLatin1String KeyOptions("MainWindow/Options");
const QLatin1String KeySize("MainWindow/Size");
const QLatin1String KeyLocale("Amazon/Locale");

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

} // namespace

MainWindow::MainWindow(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    SetUpForm();
    CreateErrorBox();

    InstallLoadFailureBox();
    m_database = new DatabaseManager(this);
    ConnectDatabase();
    m_amazon = new AmazonConnector(this);
    ConnectProductClient();
    connect(&m_watchTimer, &QTimer::timeout, this, &MainWindow::DoCheckNow, Qt::QueuedConnection);
    ConnectWatchList();

    FillStoreSelector();
    CreateTrayIcon();

    RestoreSettings();
    UpdateUI();
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
    ui->comboBoxAmazonStore->setMaximumWidth(115);

    ui->lineEditAsin->addAction(ui->actionPasteAndGo);
    ui->lineEditAsin->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        ui->lineEditAsin, &QWidget::customContextMenuRequested, this, &MainWindow::ShowContextMenu);
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
    for (const QVariant& item : items) {
        if (!m_removedItems.contains(RemovalKey(item.toMap())))
            shown << item;
    }
    ui->treeWidgetWatchList->UpdateItems(shown);
}

void MainWindow::ConnectWatchList()
{
    WatchListWidget* list = ui->treeWidgetWatchList;
    connect(list, &WatchListWidget::ItemInfoAvailable, this, &MainWindow::OnItemInfoAvailable);
    connect(list, &WatchListWidget::ItemsUpdated, this, &MainWindow::CheckItems);
    connect(list, &WatchListWidget::WatchListChanged, this, &MainWindow::SaveWatchList);
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
    // One substitution pass: a '%' sequence inside the message is text, not
    // a place holder.
    AppendLogLine(QStringLiteral("<p>%1: <span style=\"color:%2;\">%3</span></p>")
                      .arg(TimeStamp(), color.toHtmlEscaped(), message.toHtmlEscaped()));
}

void MainWindow::AddLogMessage(const QVariantMap& item)
{
    const int condition = item.value(ItemKey::WatchCondition).toInt();
    if (condition == WatchCondition::InStock) {
        AppendLogLine(
            tr("<p>%1: <b>%2</b>: Item is <b><font color=\"#00aa00\">in stock</font></b>!</p>")
                .arg(TimeStamp(), HtmlText::LinkedTitle(item)));
        return;
    }
    const QString price = item.value(ItemKey::FormattedAlertPrice).toString();
    AppendLogLine(tr("<p>%1: <b>%2</b>: Item price has dropped to <font "
                     "color=\"#00aa00\"><b>%3</b></font>!</p>")
                      .arg(TimeStamp(), HtmlText::LinkedTitle(item), price.toHtmlEscaped()));
}

void MainWindow::OnError(const QString& message)
{
    m_errorBox->setText(message);
    m_errorBox->show();
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
    const bool watching = m_watchTimer.isActive();
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
#ifdef Q_OS_MACOS
    QString script;
    if (enable) {
        QString path = QCoreApplication::applicationDirPath();
        const int bundleEnd = path.lastIndexOf(QStringLiteral("/Contents/MacOS"));
        if (bundleEnd > 0)
            path.truncate(bundleEnd);
        script = QStringLiteral("tell application \"System Events\"\n"
                                "    make login item at end with properties {path:\"%1\", "
                                "kind:application}\nend tell\n")
                     .arg(path);
    } else {
        script = QStringLiteral("tell application \"System Events\"\n"
                                "    get the name of every login item\n"
                                "    if login item \"Pricewarden\" exists then\n"
                                "        delete login item \"Pricewarden\"\n"
                                "    end if\nend tell\n");
    }
    auto* process = new QProcess(this);
    process->start(QStringLiteral("/usr/bin/osascript"),
        { QStringLiteral("-l"), QStringLiteral("AppleScript") }, QIODevice::ReadWrite);
    process->write(script.toUtf8());
    process->closeWriteChannel();
#else
    const AutostartEntry entry(AutostartEntry::DefaultDirectory());
    if (enable)
        entry.Enable(QCoreApplication::applicationFilePath());
    else
        entry.Disable();
#endif
}

// ---------------------------------------------------------------------------
// The ASIN field's context menu

QMenu* MainWindow::CreateAsinContextMenu()
{
    QMenu* menu = ui->lineEditAsin->createStandardContextMenu();
    const QList<QAction*> standard = menu->actions();
    if (!standard.isEmpty())
        menu->removeAction(standard.last());

    const QList<QAction*> entries = menu->actions();
    QAction* paste = nullptr;
    // Qt names the paste entry; its text ends with its shortcut only where
    // the platform shows shortcuts in context menus.
    for (QAction* entry : entries) {
        if (entry->objectName() == QLatin1String("edit-paste")) {
            paste = entry;
            break;
        }
    }
    for (int i = 0; !paste && i < entries.size(); ++i) {
        if (entries.at(i)->text().endsWith(QLatin1Char('V')))
            paste = entries.at(i);
    }

    if (entries.isEmpty()) {
        menu->addAction(ui->actionPasteAndGo);
    } else if (!paste) {
        menu->insertAction(entries.first(), ui->actionPasteAndGo);
    } else {
        const int after = entries.indexOf(paste) + 1;
        if (after < entries.size())
            menu->insertAction(entries.at(after), ui->actionPasteAndGo);
        else
            menu->addAction(ui->actionPasteAndGo);
    }
    ui->actionPasteAndGo->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    return menu;
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
    QVariantMap record = ui->treeWidgetWatchList->GetCurrentItemData();
    if (record.isEmpty())
        return;
    int condition = WatchCondition::PriceDrop;
    if (ui->radioButtonDoNotWatch->isChecked())
        condition = WatchCondition::NotWatched;
    else if (ui->radioButtonItemInStock->isChecked())
        condition = WatchCondition::InStock;
    record.insert(ItemKey::WatchCondition, condition);
    record.insert(ItemKey::ThirdParty, ui->checkBoxThirdParty->isChecked());
    record.insert(ItemKey::ThirdPartyUsed, ui->checkBoxThirdPartyUsed->isChecked());
    record.insert(ItemKey::PriceLine, ui->doubleSpinBoxPriceLine->value());
    record.insert(ItemKey::ActionWebPage, ui->checkBoxWebPage->isChecked());
    record.insert(ItemKey::ActionEmail, ui->checkBoxEmail->isChecked());
    record.insert(ItemKey::ActionCreateCart, ui->checkBoxCreateCart->isChecked());
    record.insert(ItemKey::Quantity, ui->spinBoxQuantity->value());
    ui->treeWidgetWatchList->UpdateItem(record, false);
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

void MainWindow::SaveWatchList()
{
    m_database->SaveItems(ui->treeWidgetWatchList->GetItems());
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

void MainWindow::SetWatchInterval(qint64 seconds)
{
    const qint64 milliseconds
        = std::clamp<qint64>(seconds * 1000, 1, std::numeric_limits<int>::max());
    m_watchTimer.setInterval(static_cast<int>(milliseconds));
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
    SetWatchInterval(m_options.value(OptionKey::WatchIntervalSeconds).toLongLong());

    // A stored store code that is none of ours keeps the designed default
    // (the first store), so an add never goes out without a store.
    SelectStore(settings.value(KeyLocale, QStringLiteral("us")).toString());

    RefreshList();
}

void MainWindow::SaveSettings()
{
    SaveWatchList();

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
// Slots whose work belongs to the watch engine, the detail pane, the
// preferences and the about box. They are wired now and take on their work
// as those parts arrive.

void MainWindow::OnStart()
{
}

void MainWindow::OnStop()
{
}

void MainWindow::DoCheckNow()
{
}

void MainWindow::CheckItems()
{
}

void MainWindow::OnAbout()
{
}

void MainWindow::OnPreference()
{
}

void MainWindow::OnItemInfoAvailable(const QVariantMap& item)
{
    if (!item.contains(ItemKey::Asin)) {
        ui->textBrowserDetail->clear();
        return;
    }
    LoadWatchControls(item);
}

// Shows the item's watch condition and reactions in the editing controls.
// Loading must never write the record back, so the controls whose signals
// reach UpdateJobSetting are blocked while they are filled; the radio
// buttons stay live because only their clicks (not toggles) save.
void MainWindow::LoadWatchControls(const QVariantMap& item)
{
    const QString locale = item.value(ItemKey::Locale).toString();
    const QVariant condition = item.value(ItemKey::WatchCondition);
    const int conditionCode = condition.isValid() ? condition.toInt() : WatchCondition::PriceDrop;
    if (conditionCode == WatchCondition::NotWatched)
        ui->radioButtonDoNotWatch->setChecked(true);
    else if (conditionCode == WatchCondition::InStock)
        ui->radioButtonItemInStock->setChecked(true);
    else
        ui->radioButtonPriceDrop->setChecked(true);

    const QList<QWidget*> editors { ui->doubleSpinBoxPriceLine, ui->checkBoxEmail,
        ui->checkBoxWebPage, ui->checkBoxCreateCart, ui->spinBoxQuantity, ui->checkBoxThirdParty,
        ui->checkBoxThirdPartyUsed };
    for (QWidget* editor : editors)
        editor->blockSignals(true);

    ui->doubleSpinBoxPriceLine->setDecimals(locale == QLatin1String("jp") ? 0 : 2);
    ui->doubleSpinBoxPriceLine->setPrefix(Global::CurrencyString.value(locale));
    ui->doubleSpinBoxPriceLine->setValue(item.value(ItemKey::PriceLine).toDouble());
    ui->checkBoxEmail->setChecked(item.value(ItemKey::ActionEmail).toBool());
    ui->checkBoxWebPage->setChecked(item.value(ItemKey::ActionWebPage).toBool());
    ui->checkBoxCreateCart->setChecked(item.value(ItemKey::ActionCreateCart).toBool());
    ui->spinBoxQuantity->setValue(item.value(ItemKey::Quantity).toInt());
    ui->checkBoxThirdParty->setChecked(item.value(ItemKey::ThirdParty).toBool());
    ui->checkBoxThirdPartyUsed->setChecked(item.value(ItemKey::ThirdPartyUsed).toBool());
    ui->spinBoxQuantity->setEnabled(ui->checkBoxCreateCart->isChecked());

    for (QWidget* editor : editors)
        editor->blockSignals(false);
}

void MainWindow::OnCartAvailable(const QString& cart_url)
{
    Q_UNUSED(cart_url);
}

void MainWindow::OnImageDownloaded(const QString& filename)
{
    Q_UNUSED(filename);
}

void MainWindow::OnVersionInfoAvailable(const QVariantMap& info)
{
    Q_UNUSED(info);
}

void MainWindow::OnProductInfoAvailable(const QVariantList& items)
{
    Q_UNUSED(items);
}

void MainWindow::UpdatePriceHistoryView()
{
}
