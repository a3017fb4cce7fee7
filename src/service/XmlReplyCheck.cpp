#include "XmlReplyCheck.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

QString XmlReplyCheck::Problem(const QByteArray& data, int maximumDepth)
{
    QXmlStreamReader reader(data);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximumDepth)
                return QCoreApplication::translate(
                    "XmlReplyCheck", "elements nested deeper than %1 levels")
                    .arg(maximumDepth);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::DTD:
            return QCoreApplication::translate(
                "XmlReplyCheck", "a document type declaration is not accepted");
        default:
            break;
        }
    }
    return QString();
}
