#include "services/FileType.h"

#include <QImageReader>

QString FileType::nameFilter() const
{
    return title + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString FileType::suffix() const
{
    if (patterns.isEmpty() || !patterns.first().startsWith(QLatin1String("*.")))
        return {};
    const QString ext = patterns.first().mid(2);
    if (ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')))
        return {};
    return ext;
}

FileType FileType::commaSeparatedText()
{
    return {QStringLiteral("CSV files"), {QStringLiteral("*.csv")}};
}

FileType FileType::tabSeparatedText()
{
    return {QStringLiteral("Tab-separated text"), {QStringLiteral("*.tsv"), QStringLiteral("*.tab")}};
}

FileType FileType::plainText()
{
    return {QStringLiteral("Text files"), {QStringLiteral("*.txt"), QStringLiteral("*.text")}};
}

FileType FileType::pdf()
{
    return {QStringLiteral("PDF documents"), {QStringLiteral("*.pdf")}};
}

FileType FileType::image()
{
    QStringList patterns;
    // Cameras often write upper-case extensions ("IMG_0001.JPG").
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format).toLower());
    const qsizetype lowerCount = patterns.size();
    for (qsizetype i = 0; i < lowerCount; ++i)
        patterns.append(patterns.at(i).toUpper());
    patterns.removeDuplicates();
    return {QStringLiteral("Images"), patterns};
}

FileType FileType::backup()
{
    return {QStringLiteral("QNMR Orvane backups"), {QStringLiteral("*.ovbackup")}};
}
