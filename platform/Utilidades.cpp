#include "platform/Utilidades.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QStringDecoder>
#include <QSysInfo>

#include <limits>
#include <optional>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

ado::Falla desborde(const char* rutina) {
    return ado::Falla(6, QStringLiteral("Desbordamiento"), QString::fromLatin1(rutina));
}

bool sonDigitos(QStringView t) {
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Thousands written as the locale groups them: a first group of one to three digits
// that does not start with 0, then groups of exactly three.
bool bienAgrupado(QStringView entero, QChar separador) {
    const auto grupos = entero.split(separador);
    if (grupos.size() < 2)
        return false;
    const QStringView primero = grupos.first();
    if (primero.isEmpty() || primero.size() > 3 || primero.front() == u'0' || !sonDigitos(primero))
        return false;
    for (qsizetype i = 1; i < grupos.size(); ++i)
        if (grupos[i].size() != 3 || !sonDigitos(grupos[i]))
            return false;
    return true;
}

// Integer and fraction digits to Currency, the fraction rounded half to even at the
// fourth decimal from its exact digits. Raises 6 beyond Currency's range.
Currency aCurrency(bool negativo, QStringView entero, QStringView fraccion) {
    __extension__ typedef unsigned __int128 Ancho;
    const Ancho limite = negativo ? Ancho(1) << 63 : (Ancho(1) << 63) - 1;
    Ancho v = 0;
    for (QChar c : entero) {
        v = v * 10 + (c.unicode() - u'0');
        if (v > limite * 10) // keeps the accumulator far from its own overflow
            throw desborde("ANumero");
    }
    for (int i = 0; i < 4; ++i)
        v = v * 10 + (i < fraccion.size() ? fraccion[i].unicode() - u'0' : 0);
    if (fraccion.size() > 4) {
        const int siguiente = fraccion[4].unicode() - u'0';
        bool masAllaDeLaMitad = siguiente > 5;
        if (siguiente == 5)
            for (qsizetype i = 5; i < fraccion.size() && !masAllaDeLaMitad; ++i)
                masAllaDeLaMitad = fraccion[i] != u'0';
        if (masAllaDeLaMitad || (siguiente == 5 && v % 2 != 0))
            ++v;
    }
    if (v > limite)
        throw desborde("ANumero");
    const qint64 escalado =
        negativo ? static_cast<qint64>(0 - static_cast<quint64>(v)) : static_cast<qint64>(v);
    return Currency::DesdeEscalado(escalado);
}

// How the operator writes a number, and how it is read:
//  - blanks around it, a leading "$" and a leading sign (in either order) are allowed;
//  - what is left must be digits with "." and "," only, and at least one digit;
//  - with both "." and ",", the last one is the decimal separator and the other one
//    groups thousands ("1.234,56" and "1,234.56" are both 1234.56);
//  - a separator that appears more than once only groups thousands ("1.234.567");
//  - a single separator is the decimal one, unless it is the locale's thousands
//    separator with a well-formed group on each side: in Spanish "1.234" is 1234, but
//    "12.5" and "0.500" are decimals, since nobody groups those;
//  - groups must be well formed ("1.23,4" is no number).
// Anything else holds no number. Reading is exact; more than four decimals round half
// to even.
std::optional<Currency> leeNumero(const QString& original, const QLocale& local) {
    QString t = original.trimmed();
    bool negativo = false;
    bool conSigno = false;
    const auto quitaSigno = [&] {
        if (!conSigno && (t.startsWith(u'-') || t.startsWith(u'+'))) {
            negativo = t.front() == u'-';
            conSigno = true;
            t = t.sliced(1).trimmed();
        }
    };
    quitaSigno();
    if (t.startsWith(u'$')) {
        t = t.sliced(1).trimmed();
        quitaSigno();
    }

    // A locale that groups with something else (a blank, an apostrophe) or writes its
    // decimals with another sign is brought to the two separators read below.
    QChar grupoLocal;
    const QString grupo = local.groupSeparator();
    const QString decimal = local.decimalPoint();
    if (grupo == QStringLiteral(".") || grupo == QStringLiteral(","))
        grupoLocal = grupo.front();
    else if (!grupo.isEmpty())
        t.remove(grupo);
    if (decimal != QStringLiteral(".") && decimal != QStringLiteral(",") && !decimal.isEmpty())
        t.replace(decimal, QStringLiteral("."));

    qsizetype digitos = 0;
    qsizetype puntos = 0;
    qsizetype comas = 0;
    qsizetype ultimoSeparador = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            ++digitos;
        } else if (c == u'.' || c == u',') {
            ++(c == u'.' ? puntos : comas);
            ultimoSeparador = i;
        } else {
            return std::nullopt;
        }
    }
    if (digitos == 0)
        return std::nullopt;

    QStringView entero = t;
    QStringView fraccion;
    QChar separadorMiles;
    if (puntos > 0 && comas > 0) {
        const QChar separadorDecimal = t[ultimoSeparador];
        if ((separadorDecimal == u'.' ? puntos : comas) != 1)
            return std::nullopt;
        separadorMiles = separadorDecimal == u'.' ? u',' : u'.';
        entero = QStringView(t).first(ultimoSeparador);
        fraccion = QStringView(t).sliced(ultimoSeparador + 1);
    } else if (puntos + comas > 1) {
        separadorMiles = puntos > 0 ? u'.' : u',';
    } else if (puntos + comas == 1) {
        const QChar separador = t[ultimoSeparador];
        if (separador == grupoLocal && bienAgrupado(t, separador)) {
            separadorMiles = separador;
        } else {
            entero = QStringView(t).first(ultimoSeparador);
            fraccion = QStringView(t).sliced(ultimoSeparador + 1);
        }
    }

    QString limpio;
    if (!separadorMiles.isNull() && entero.contains(separadorMiles)) {
        if (!bienAgrupado(entero, separadorMiles))
            return std::nullopt;
        limpio = entero.toString().remove(separadorMiles);
        entero = limpio;
    }
    return aCurrency(negativo, entero, fraccion);
}

// The scrambling of user names and passwords in the INI file: each UTF-8 byte is
// mixed with a key and the previous scrambled byte, written as two letters of a
// sixteen-letter alphabet, and followed by a check byte. Only capital letters come
// out, so the text survives the INI file, the connections file and trimming.
constexpr char kAlfabeto[] = "KQWZXJVMBPLRHTGF";
constexpr unsigned char kClave[] = {0x5b, 0xc3, 0x27, 0x91, 0x4e, 0xe8, 0x36, 0xad};

QString letras(unsigned char b) {
    const char par[] = {kAlfabeto[b >> 4], kAlfabeto[b & 0x0f]};
    return QString::fromLatin1(par, 2);
}

int valorLetra(QChar c) {
    const QChar mayuscula = c.toUpper();
    for (int i = 0; i < 16; ++i)
        if (mayuscula == QLatin1Char(kAlfabeto[i]))
            return i;
    return -1;
}

} // namespace

// ------------------------------------------------------------------ Utilidades

QString Utilidades::Recorta(const QString& texto, int ancho) {
    return texto.left(qMax(0, ancho));
}

QLocale Utilidades::LocaleOperador() {
    return LocaleOperador(QLocale::system());
}

QLocale Utilidades::LocaleOperador(const QLocale& sistema) {
    if (sistema.language() == QLocale::C)
        return QLocale(QLocale::Spanish, QLocale::Argentina);
    return sistema;
}

Currency Utilidades::ANumero(const QString& texto) {
    return ANumero(texto, LocaleOperador());
}

Currency Utilidades::ANumero(const QString& texto, const QLocale& local) {
    return leeNumero(texto, local).value_or(Currency());
}

Currency Utilidades::ANumero(const QVariant& valor) {
    if (valor.isNull())
        return Currency();
    // Money columns come from the layer as Currency already.
    if (valor.metaType() == QMetaType::fromType<Currency>())
        return valor.value<Currency>();
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Currency::DesdeDouble(valor.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar: {
        const qint64 n = valor.toLongLong();
        qint64 escalado = 0;
        if (__builtin_mul_overflow(n, Currency::kEscala, &escalado))
            throw desborde("ANumero");
        return Currency::DesdeEscalado(escalado);
    }
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const quint64 n = valor.toULongLong();
        if (n > quint64(std::numeric_limits<qint64>::max() / Currency::kEscala))
            throw desborde("ANumero");
        return Currency::DesdeEscalado(static_cast<qint64>(n) * Currency::kEscala);
    }
    case QMetaType::Bool:
        // As Currency takes a boolean: true is -1.
        return Currency::DesdeEscalado(valor.toBool() ? -Currency::kEscala : 0);
    case QMetaType::QByteArray:
        return ANumero(QString::fromLatin1(valor.toByteArray()));
    default:
        return ANumero(valor.toString());
    }
}

std::optional<Currency> Utilidades::NumeroEn(const QString& texto) {
    try {
        return leeNumero(texto, LocaleOperador());
    } catch (const ado::Falla&) {
        return std::nullopt;
    }
}

bool Utilidades::EsNumerico(const QString& texto) {
    return EsNumerico(texto, LocaleOperador());
}

bool Utilidades::EsNumerico(const QString& texto, const QLocale& local) {
    try {
        return leeNumero(texto, local).has_value();
    } catch (const ado::Falla&) {
        return true; // a number, only too large for money
    }
}

qint32 Utilidades::AEntero(const QString& texto) {
    const qint64 entero = ANumero(texto).escalado() / Currency::kEscala;
    if (entero > std::numeric_limits<qint32>::max() || entero < std::numeric_limits<qint32>::min())
        throw desborde("AEntero");
    return static_cast<qint32>(entero);
}

QVariant Utilidades::SinNulo(const QVariant& valor) {
    return valor.isNull() ? QVariant(QString()) : valor;
}

int Utilidades::CuentaPalabras(const QString& texto) {
    int palabras = 0;
    bool enPalabra = false;
    for (QChar c : texto) {
        if (c.isSpace()) {
            enPalabra = false;
        } else if (!enPalabra) {
            enPalabra = true;
            ++palabras;
        }
    }
    return palabras;
}

QString Utilidades::QuitaCaracteres(const QString& texto, const QString& a, const QString& b,
                                    const QString& c) {
    QString r = texto;
    for (const QString* quita : {&a, &b, &c})
        if (!quita->isEmpty())
            r.remove(*quita);
    return r;
}

QString Utilidades::ReemplazaTexto(const QString& texto, const QString& busca,
                                   const QString& reemplazo) {
    if (busca.isEmpty()) // Qt would insert the replacement between every character
        return texto;
    return QString(texto).replace(busca, reemplazo);
}

QString Utilidades::ReemplazaPalabra(const QString& texto, const QString& busca,
                                     const QString& reemplazo) {
    if (busca.isEmpty())
        return texto;
    // A name ends where letters, digits and "_" end: "dbo.V_X" and "[V_X]" name V_X,
    // "SS_V_X" and "V_X2" do not.
    const auto deNombre = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    QString r;
    qsizetype desde = 0;
    for (;;) {
        const qsizetype i = texto.indexOf(busca, desde, Qt::CaseInsensitive);
        if (i < 0)
            break;
        const qsizetype fin = i + busca.size();
        const bool aislada =
            (i == 0 || !deNombre(texto[i - 1])) && (fin == texto.size() || !deNombre(texto[fin]));
        r += QStringView(texto).sliced(desde, i - desde);
        r += aislada ? reemplazo : QStringView(texto).sliced(i, busca.size()).toString();
        desde = fin;
    }
    r += QStringView(texto).sliced(desde);
    return r;
}

QString Utilidades::AjustaCodigo(const QString& codigo, int ancho) {
    const QString t = codigo.trimmed();
    if (ancho <= 0 || t.size() >= ancho) // never cut: a cut code would name another row
        return t;
    return t.rightJustified(ancho, u' ');
}

QString Utilidades::Codifica(const QString& texto) {
    if (texto.isEmpty())
        return {};
    const QByteArray bytes = texto.toUtf8();
    QString r;
    r.reserve(2 * bytes.size() + 2);
    unsigned char anterior = 0xa7;
    unsigned char suma = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        anterior = static_cast<unsigned char>(b ^ kClave[i % sizeof kClave] ^ anterior);
        suma = static_cast<unsigned char>(suma + b);
        r += letras(anterior);
    }
    r += letras(static_cast<unsigned char>(suma ^ 0x6d));
    return r;
}

// A text that is not a scrambled one (a value written by hand into the INI file, say)
// comes back as it is.
QString Utilidades::Decodifica(const QString& texto) {
    if (texto.isEmpty())
        return {};
    if (texto.size() < 4 || texto.size() % 2 != 0)
        return texto;
    QByteArray crudos;
    for (qsizetype i = 0; i < texto.size(); i += 2) {
        const int alto = valorLetra(texto[i]);
        const int bajo = valorLetra(texto[i + 1]);
        if (alto < 0 || bajo < 0)
            return texto;
        crudos += static_cast<char>(alto << 4 | bajo);
    }
    const auto control = static_cast<unsigned char>(crudos.back());
    crudos.chop(1);
    QByteArray bytes;
    unsigned char anterior = 0xa7;
    unsigned char suma = 0;
    for (qsizetype i = 0; i < crudos.size(); ++i) {
        const auto x = static_cast<unsigned char>(crudos[i]);
        const auto b = static_cast<unsigned char>(x ^ kClave[i % sizeof kClave] ^ anterior);
        anterior = x;
        suma = static_cast<unsigned char>(suma + b);
        bytes += static_cast<char>(b);
    }
    if (static_cast<unsigned char>(suma ^ 0x6d) != control)
        return texto;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString r = utf8.decode(bytes);
    return utf8.hasError() ? texto : r;
}

QString Utilidades::RutaConBarra(const QString& carpeta) {
    // An empty folder stays empty: a bare file name then means the current folder,
    // never the root of the file system.
    if (carpeta.isEmpty() || carpeta.endsWith(u'/') || carpeta.endsWith(QDir::separator()))
        return carpeta;
    return carpeta + QDir::separator();
}

QString Utilidades::EligeFecha() {
    const auto fecha = dialogo_.EligeFecha(QDate::currentDate());
    if (!fecha || !fecha->isValid())
        return {};
    return fecha->toString(QStringLiteral("dd/MM/yyyy"));
}

plataforma::Respuesta Utilidades::InformaError(const ado::Falla& error, const QString& rutina) {
    QString texto = QStringLiteral("Ha ocurrido el siguiente error (%1) %2")
                        .arg(error.Number)
                        .arg(error.Description.trimmed());
    if (!error.Source.trimmed().isEmpty())
        texto += QStringLiteral("\nOrigen: ") + error.Source.trimmed();
    const QString titulo = rutina.trimmed().isEmpty()
                               ? QStringLiteral("Aviso al operador")
                               : QStringLiteral("Error en ") + rutina.trimmed();
    return dialogo_.MsgBox(texto, plataforma::kEstiloError, titulo);
}

// In the suite these place the window and restore the mouse pointer after a
// failure. Here Qt lays windows out itself, and this library is Qt Core only, so
// there is nothing to do; the calls stay so the routines read as they always have.
void Utilidades::PreparaVentana(QObject*, int) {}
void Utilidades::Restablece(int) {}

// ------------------------------------------------------------------ Entorno

QString Entorno::NombreMaquina() {
    return QSysInfo::machineHostName();
}

QString Entorno::NombreUsuario() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString nombre = qEnvironmentVariable(variable).trimmed();
        if (!nombre.isEmpty())
            return nombre;
    }
#ifdef Q_OS_UNIX
    if (const passwd* pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    return {};
}

// The suite kept shared files in the Windows folder. What still lands here is the
// error log when no temporary folder is set, so the folder must be one every clerk
// may write to on every machine: the temporary folder is that place.
QString Entorno::CarpetaSistema() {
    return QDir::tempPath();
}

// ------------------------------------------------------------------ DialogoArchivo

void DialogoArchivo::AbrirDialogo() {
    const auto elegido = dialogo_.EligeArchivo(titulo_, filtro_);
    cancelado_ = !elegido.has_value();
    elegido_ = elegido.value_or(QString());
}
