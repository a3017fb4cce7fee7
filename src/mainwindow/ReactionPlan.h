#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

// What one evaluation pass over the watch list does: which items alert, in
// row order, and the reactions they asked for. Built without touching
// anything, so the window can first switch the conditions off and store
// them, and only then react.
class ReactionPlan
{
public:
    struct Alert
    {
        // The record as its alert reports it (FormattedAlertPrice set; the
        // watch condition still the one that was met).
        QVariantMap record;
        // The key of the price that met the condition.
        QString priceKey;
        bool bMail = false;
        QString mailText;
        // The product page to open; empty when none was asked for or the
        // record holds no web address.
        QUrl page;
    };

    // The offers of one store's cart: listing id -> quantity. An offer id is
    // valid only in its own store, so each store gets a cart of its own.
    struct Cart
    {
        QString locale;
        QVariantMap offers;
    };

    // Evaluates every record (in row order) against the options (PlaySound,
    // SoundFile, SoundLoops, NoPopup, Email).
    static ReactionPlan ForItems(
        const QVariantList& items, const QVariantMap& options, const QString& mailTemplate);

    bool IsEmpty() const { return alerts.isEmpty(); }

    // The alerted records with their watch condition switched off, as they
    // are written back: an alert fires once.
    QVariantList SwitchedOff() const;

    QList<Alert> alerts;
    // In the order in which the stores first appear among the alerts.
    QList<Cart> carts;
    // The sound plays once per pass, however many items alert.
    bool bPlaySound = false;
    QString soundFile;
    int soundLoops = 0;
    // Bring up the alert window and the main window (NoPopup not set).
    bool bRaiseWindows = true;
    QString email;
};
