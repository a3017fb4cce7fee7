#pragma once

#include <QString>
#include <QVariantMap>

// The e-mail that tells the user about an alert, sent through the vendor's
// service.
namespace AlertEmail {

// The compiled-in template.
inline const QString TemplatePath = QStringLiteral(":/alert_email.txt");

// The subject line of every alert e-mail.
QString Subject();

// The template read in text mode, so each line ends with a single line
// feed; empty when it cannot be read.
QString ReadTemplate(const QString& path = TemplatePath);

// The template with its place holders filled: $EMAIL$ by the address,
// $TITLE$, $LINK$ and $PRICE$ from the alerted record ($PRICE$ is the
// price that met the condition, else the offer price). One pass over the
// template: a place holder inside a product title is text, not a place
// holder.
QString Text(const QString& templateText, const QVariantMap& alert, const QString& email);

} // namespace AlertEmail
