#pragma once
// A workbook read back as a spreadsheet would: the first sheet's cells by reference
// ("B2"), each a text or a number with the number format it is shown in. The parts
// come out of the zip through `unzip -p`.

#include <QHash>
#include <QProcess>
#include <QString>
#include <QXmlStreamReader>

struct CeldaXlsx {
    QString tipo;    // "s" a text, "n" a number
    QString valor;   // the text, or the number as stored
    QString formato; // the number format's code; "General" when none
};

namespace prueba {

inline QByteArray ParteXlsx(const QString& libro, const QString& parte) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), libro, parte});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

inline QHash<QString, CeldaXlsx> LeeXlsx(const QString& libro) {
    QStringList textos;
    QXmlStreamReader compartidos(ParteXlsx(libro, QStringLiteral("xl/sharedStrings.xml")));
    while (!compartidos.atEnd())
        if (compartidos.readNext() == QXmlStreamReader::StartElement &&
            compartidos.name() == QLatin1String("si"))
            textos << compartidos.readElementText(QXmlStreamReader::IncludeChildElements);

    QHash<QString, QString> codigos{{QStringLiteral("0"), QStringLiteral("General")}};
    QStringList formatoDeEstilo;
    QXmlStreamReader estilos(ParteXlsx(libro, QStringLiteral("xl/styles.xml")));
    bool enCeldas = false;
    while (!estilos.atEnd()) {
        const auto t = estilos.readNext();
        if (t == QXmlStreamReader::StartElement && estilos.name() == QLatin1String("numFmt"))
            codigos.insert(estilos.attributes().value(QLatin1String("numFmtId")).toString(),
                           estilos.attributes().value(QLatin1String("formatCode")).toString());
        else if (estilos.name() == QLatin1String("cellXfs"))
            enCeldas = t == QXmlStreamReader::StartElement;
        else if (enCeldas && t == QXmlStreamReader::StartElement &&
                 estilos.name() == QLatin1String("xf"))
            formatoDeEstilo << codigos.value(
                estilos.attributes().value(QLatin1String("numFmtId")).toString(),
                QStringLiteral("?"));
    }

    QHash<QString, CeldaXlsx> celdas;
    QXmlStreamReader hoja(ParteXlsx(libro, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!hoja.atEnd()) {
        if (hoja.readNext() != QXmlStreamReader::StartElement || hoja.name() != QLatin1String("c"))
            continue;
        const auto a = hoja.attributes();
        const QString ref = a.value(QLatin1String("r")).toString();
        const bool texto = a.value(QLatin1String("t")) == QLatin1String("s");
        const int estilo = a.value(QLatin1String("s")).toInt();
        const QString v = hoja.readElementText(QXmlStreamReader::IncludeChildElements);
        celdas.insert(ref, {texto ? QStringLiteral("s") : QStringLiteral("n"),
                            texto ? textos.value(v.toInt()) : v,
                            formatoDeEstilo.value(estilo, QStringLiteral("General"))});
    }
    return celdas;
}

} // namespace prueba
