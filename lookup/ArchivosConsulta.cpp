#include "ArchivosConsulta.h"

#include "platform/ArchivoIni.h"
#include "platform/Utilidades.h"

#include <QFile>

namespace consulta {

namespace {

// A fixed-width field without its padding: the suite pads with blanks, but
// records written by other tools carry chr(0) or chr(255) instead.
QString campo(const QByteArray& registro, int desde, int largo) {
    QString t = QString::fromLatin1(registro.mid(desde, largo));
    t.remove(QChar(0)).remove(QChar(0xFF));
    return t.trimmed();
}

// One field of a line of a sequential text file: between double quotes (which
// the suite never escapes inside), or up to the next comma.
QString campoSecuencial(const QString& linea, qsizetype& i) {
    while (i < linea.size() && linea[i] == u' ')
        ++i;
    QString valor;
    if (i < linea.size() && linea[i] == u'"') {
        const qsizetype cierre = linea.indexOf(u'"', i + 1);
        const qsizetype fin = cierre < 0 ? linea.size() : cierre;
        valor = linea.mid(i + 1, fin - i - 1);
        i = linea.indexOf(u',', fin);
    } else {
        const qsizetype coma = linea.indexOf(u',', i);
        valor = linea.mid(i, coma < 0 ? -1 : coma - i).trimmed();
        i = coma;
    }
    i = i < 0 ? linea.size() : i + 1;
    return valor;
}

std::optional<int> ancho(const QString& texto) {
    try {
        const Currency n = Utilidades::ANumero(texto);
        // Widths are whole twips; a column never gets less than one.
        if (n >= Currency::DesdeEscalado(Currency::kEscala) &&
            n <= Currency::DesdeEscalado(qint64(1'000'000) * Currency::kEscala))
            return static_cast<int>(n.escalado() / Currency::kEscala);
    } catch (const ado::Falla&) {
    }
    return std::nullopt;
}

} // namespace

MascaraConsulta LeeRegistro(const QByteArray& registro) {
    QByteArray r = registro;
    if (r.size() < kLargoRegistro)
        r.append(QByteArray(kLargoRegistro - r.size(), ' '));
    return {campo(r, 0, 100), campo(r, 100, 100), campo(r, 200, 500), campo(r, 700, 500)};
}

std::optional<MascaraConsulta> BuscarMascara(const QString& ruta, const QString& tabla) {
    QFile archivo(BuscaSinMayusculas(ruta));
    if (!archivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString buscada = tabla.trimmed();
    while (!archivo.atEnd()) {
        const QByteArray registro = archivo.read(kLargoRegistro);
        if (registro.isEmpty())
            break;
        MascaraConsulta m = LeeRegistro(registro);
        if (m.Tabla.compare(buscada, Qt::CaseInsensitive) == 0)
            return m;
    }
    return std::nullopt;
}

std::optional<Anchos> AnchosGuardados(const QString& ruta, const QString& tabla) {
    QFile archivo(BuscaSinMayusculas(ruta));
    if (!archivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<Anchos> hallados;
    for (QByteArray bytes : archivo.readAll().split('\n')) {
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString linea = QString::fromLatin1(bytes);
        qsizetype i = 0;
        const QString nombre = campoSecuencial(linea, i);
        if (nombre.trimmed().compare(tabla.trimmed(), Qt::CaseInsensitive) != 0 ||
            tabla.trimmed().isEmpty())
            continue;
        QStringList partes = campoSecuencial(linea, i).split(u'|');
        partes.removeLast(); // what follows the last bar is not a width
        Anchos anchos;
        for (const QString& p : partes)
            anchos << ancho(p);
        hallados = anchos;
    }
    return hallados;
}

} // namespace consulta
