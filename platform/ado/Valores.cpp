#include "platform/ado/Valores.h"

#include "platform/Utilidades.h"
#include "platform/ado/Ado.h"

#include <QLocale>

namespace ado {

namespace {

// Reads digits from texto at pos; at most `maximo` of them.
int leeDigitos(const QString& texto, qsizetype& pos, int maximo, int& cuantos) {
    int valor = 0;
    cuantos = 0;
    while (pos < texto.size() && cuantos < maximo && texto[pos].isDigit()) {
        valor = valor * 10 + texto[pos].digitValue();
        ++pos;
        ++cuantos;
    }
    return valor;
}

std::optional<QTime> leeHora(const QString& texto, qsizetype pos) {
    while (pos < texto.size() && (texto[pos] == u' ' || texto[pos] == u'T'))
        ++pos;
    if (pos == texto.size())
        return QTime(0, 0);
    int n = 0;
    const int h = leeDigitos(texto, pos, 2, n);
    if (n == 0 || pos >= texto.size() || texto[pos] != u':')
        return std::nullopt;
    ++pos;
    const int mi = leeDigitos(texto, pos, 2, n);
    if (n != 2)
        return std::nullopt;
    int s = 0;
    int ms = 0;
    if (pos < texto.size() && texto[pos] == u':') {
        ++pos;
        s = leeDigitos(texto, pos, 2, n);
        if (n != 2)
            return std::nullopt;
        if (pos < texto.size() && texto[pos] == u'.') {
            ++pos;
            ms = leeDigitos(texto, pos, 3, n);
            while (pos < texto.size() && texto[pos].isDigit())
                ++pos;
        }
    }
    if (pos != texto.size())
        return std::nullopt;
    QTime hora(h, mi, s, ms);
    if (!hora.isValid())
        return std::nullopt;
    return hora;
}

} // namespace

std::optional<QDateTime> InterpretaFecha(const QString& original) {
    const QString texto = original.trimmed();
    qsizetype pos = 0;
    int n1 = 0;
    const int a = leeDigitos(texto, pos, 8, n1);
    int dia = 0;
    int mes = 0;
    int anio = 0;
    if (n1 == 8) { // yyyymmdd
        anio = a / 10000;
        mes = a / 100 % 100;
        dia = a % 100;
    } else if (n1 == 4 && pos < texto.size() && texto[pos] == u'-') {
        ++pos;
        int n2 = 0;
        int n3 = 0;
        mes = leeDigitos(texto, pos, 2, n2);
        if (n2 == 0 || pos >= texto.size() || texto[pos] != u'-')
            return std::nullopt;
        ++pos;
        dia = leeDigitos(texto, pos, 2, n3);
        if (n3 == 0)
            return std::nullopt;
        anio = a;
    } else if ((n1 == 1 || n1 == 2) && pos < texto.size() && texto[pos] == u'/') {
        ++pos;
        int n2 = 0;
        int n3 = 0;
        dia = a;
        mes = leeDigitos(texto, pos, 2, n2);
        if (n2 == 0 || pos >= texto.size() || texto[pos] != u'/')
            return std::nullopt;
        ++pos;
        anio = leeDigitos(texto, pos, 4, n3);
        if (n3 == 2)
            anio += anio < 50 ? 2000 : 1900;
        else if (n3 != 4)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid())
        return std::nullopt;
    const auto hora = leeHora(texto, pos);
    if (!hora)
        return std::nullopt;
    return QDateTime(fecha, *hora);
}

QString TextoFechaIso(const QDateTime& fecha) {
    if (fecha.time() == QTime(0, 0))
        return fecha.date().toString(QStringLiteral("yyyy-MM-dd"));
    return fecha.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<double> InterpretaNumero(const QString& original) {
    const QString texto = original.trimmed();
    if (texto.isEmpty())
        return std::nullopt;
    bool ok = false;
    double v = texto.toDouble(&ok);
    if (ok)
        return v;
    // The operator's locale, made once: numbers are read for every field assigned.
    static const QLocale local = Utilidades::LocaleOperador();
    v = local.toDouble(texto, &ok);
    if (ok)
        return v;
    return std::nullopt;
}

QString CitaIdentificador(const QString& nombre) {
    QString n = nombre;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return u'"' + n + u'"';
}

bool EsEntero(const QVariant& valor) {
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool EsTipoTexto(int t) {
    switch (t) {
    case adBSTR:
    case adChar:
    case adWChar:
    case adVarChar:
    case adLongVarChar:
    case adVarWChar:
    case adLongVarWChar:
        return true;
    default:
        return false;
    }
}

bool EsTipoNumero(int t) {
    switch (t) {
    case adSmallInt:
    case adInteger:
    case adSingle:
    case adDouble:
    case adCurrency:
    case adBoolean:
    case adDecimal:
    case adTinyInt:
    case 17: // unsigned tiny
    case 18: // unsigned small
    case 19: // unsigned int
    case adBigInt:
    case 21: // unsigned big
    case adNumeric:
        return true;
    default:
        return false;
    }
}

bool EsTipoFecha(int t) {
    return t == adDate || t == adDBDate || t == 134 || t == adDBTimeStamp || t == 64 || t == 137;
}

} // namespace ado
