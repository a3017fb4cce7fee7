#pragma once

#include "WatchTimer.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPair>
#include <QSet>
#include <QSystemTrayIcon>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class AmazonConnector;
class DatabaseManager;
class DesktopNotifier;
class DialogAlert;
class DownloadManager;
class ReactionPlan;
class ServiceManager;
class QMenu;
class QMessageBox;
class Ui_MainWindow;

// The program's only main window. It owns the product query client, the
// database, the error box, the tray icon and the watch timer, holds the
// user's options, and hosts the watch list. Adding, editing and removing
// watched items, the log pane and the persistence of layout, options and the
// watch list live here too.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    explicit MainWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~MainWindow() override;

    // One line in the log pane, stamped with the current local time. The
    // message is plain text; the colour is a CSS colour name.
    void AddLogMessage(const QString& message, const QString& color);
    // The log line of a met watch condition of the given item.
    void AddLogMessage(const QVariantMap& item);

    // Adds the application to, or removes it from, the programs the desktop
    // starts at login.
    void SetAutoLaunch(bool enable);

    // The source of the current time for log stamps (local time).
    void SetClock(Clock clock);

    const QVariantMap& Options() const { return m_options; }
    ::WatchTimer& WatchTimer() const { return *m_watchTimer; }

    // The ASIN field's context menu: the line edit's standard menu without
    // its last entry, with "Paste and Go" after the paste entry. The caller
    // owns the menu.
    QMenu* CreateAsinContextMenu();

public slots:
    void RestoreWindow();
    // The orderly way out (the Exit action): saves everything, then ends the
    // event loop, whatever the close-to-minimise option says. Also the slot
    // for termination requests from the system.
    void Quit();
    void OnRemove();
    void OnStart();
    void OnStop();
    void OnAbout();
    void OnPreference();
    void OnTextAsin(const QString& text);
    void OnButtonAdd();
    void OnButtonAmazonStore();
    void OnPasteAndGo();
    void OnAmazonStoreChanged();
    void OnError(const QString& message);
    void OnDebugError(const QString& message);
    void OnItemInfoAvailable(const QVariantMap& item);
    void OnCartAvailable(const QString& cart_url);
    void OnWebLinkClicked(const QUrl& url);
    void RaiseTabPage(int nIndex = -1);
    void UpdateJobSetting();
    void AppendErrorMessage(const QString& message);
    void UpdateUI();
    void DoCheckNow();
    void CheckItems();
    void OnImageDownloaded(const QString& filename);
    void OnVersionInfoAvailable(const QVariantMap& info);
    void OnProductInfoAvailable(const QVariantList& items);
    void UpdatePriceHistoryView();
    void OnSystemTrayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void ShowContextMenu(const QPoint& pos);
    void RefreshList();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Writes the added and changed records of the watch list to the
    // database as they change, so that nothing is lost when the program
    // does not end in order.
    void SaveChangedItems(const QVariantList& items);
    // Hands product records to the watch list, except those of items the
    // user removed since their look-up was sent.
    void ShowProductInfo(const QVariantList& items);
    void OnServiceError(const QString& message, const QString& service);

private:
    void SetUpForm();
    void CreateErrorBox();
    void InstallLoadFailureBox();
    void ConnectDatabase();
    void ConnectProductClient();
    void ConnectWatchList();
    void ConnectServices();
    void FillStoreSelector();
    void CreateTrayIcon();

    void RestoreSettings();
    void SaveSettings();
    void PreClose();
    void SelectStore(const QString& locale);
    void SetWatchInterval(const QVariant& seconds);
    void RunReactions(const ReactionPlan& plan);
    QString PriceSeenBefore(const QVariantMap& alert, const QString& priceKey);

    QString SelectedLocale() const;
    QString TimeStamp() const;
    void AppendLogLine(const QString& html);

    AmazonConnector* m_amazon = nullptr;
    DialogAlert* m_alertDialog = nullptr;
    ::WatchTimer* m_watchTimer = nullptr;
    DatabaseManager* m_database = nullptr;
    QMessageBox* m_errorBox = nullptr;
    QVariantMap m_options;
    QSystemTrayIcon* m_trayIcon = nullptr;
    Ui_MainWindow* ui = nullptr;
    DownloadManager* m_downloads = nullptr;
    ServiceManager* m_service = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    Clock m_clock;
    bool m_closed = false;
    // While set, changed records are gathered in m_unsavedItems and stored
    // together, in one transaction.
    bool m_bGatheringSaves = false;
    QVariantList m_unsavedItems;
    // The list's records of the items of the reply being merged, as they
    // were before it, by (ASIN, locale): the prices seen before.
    QHash<QPair<QString, QString>, QVariantMap> m_recordsBeforeReply;
    // (ASIN in upper case, locale) of items removed in this run and not
    // added again; a late reply must not bring them back.
    QSet<QPair<QString, QString>> m_removedItems;
};
