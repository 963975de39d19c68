#include "sheet/Recuperacion.h"

#include "sheet/Reparto.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr int kFormato = 1;
constexpr int kEtiquetas = 5;

// The server's name is written in any letter case; a file's path is not.
QString claveBase(const QString& servidor, const QString& base) {
    return servidor.trimmed().toLower() + u'\n' + base.trimmed();
}

QJsonArray arregloDe(const QStringList& textos) {
    QJsonArray a;
    for (const QString& t : textos)
        a.append(t);
    return a;
}

// Texts only, exactly `n` of them, or nothing.
std::optional<QStringList> textosDe(const QJsonValue& v, qsizetype n) {
    if (!v.isArray() || v.toArray().size() != n)
        return std::nullopt;
    QStringList r;
    for (const QJsonValue& t : v.toArray()) {
        if (!t.isString())
            return std::nullopt;
        r << t.toString();
    }
    return r;
}

} // namespace

Recuperacion::Recuperacion(const QString& carpeta, const QString& servidor, const QString& base)
    : servidor_(servidor.trimmed()), base_(base.trimmed()) {
    // One file per database; the name only has to tell databases apart.
    const QByteArray huella =
        QCryptographicHash::hash(claveBase(servidor, base).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    ruta_ = QDir(carpeta).filePath(
        QStringLiteral("reparto-sin-grabar-%1.json").arg(QString::fromLatin1(huella)));
}

bool Recuperacion::Existe() const {
    return QFile::exists(ruta_);
}

HojaRecuperada Recuperacion::Toma(const Reparto& reparto) const {
    HojaRecuperada h;
    h.servidor = servidor_;
    h.base = base_;
    h.numero = reparto.NumeroTexto();
    h.existe = reparto.Existe;
    for (const QString& c : Reparto::Campos())
        h.campos << reparto.Campo(c);
    for (const QString& e : reparto.CuentaEtiqueta)
        h.etiquetas << e;
    h.lineas = reparto.Lineas().textos();
    return h;
}

bool Recuperacion::Guarda(const Reparto& reparto) const {
    const HojaRecuperada h = Toma(reparto);
    QJsonObject o;
    o[QStringLiteral("formato")] = kFormato;
    o[QStringLiteral("servidor")] = h.servidor;
    o[QStringLiteral("base")] = h.base;
    o[QStringLiteral("reparto")] = h.numero;
    o[QStringLiteral("existe")] = h.existe;
    o[QStringLiteral("campos")] = arregloDe(h.campos);
    o[QStringLiteral("etiquetas")] = arregloDe(h.etiquetas);
    QJsonArray lineas;
    for (const auto& fila : h.lineas)
        lineas.append(arregloDe(QStringList(fila.begin(), fila.end())));
    o[QStringLiteral("lineas")] = lineas;

    if (!QDir().mkpath(QFileInfo(ruta_).absolutePath()))
        return false;
    QSaveFile archivo(ruta_);
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    // Only the user may read what the clerk typed.
    archivo.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    archivo.write(QJsonDocument(o).toJson(QJsonDocument::Indented));
    return archivo.commit();
}

std::optional<HojaRecuperada> Recuperacion::Lee() const {
    QFile archivo(ruta_);
    if (!archivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(archivo.readAll());
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    HojaRecuperada h;
    h.servidor = o.value(QStringLiteral("servidor")).toString();
    h.base = o.value(QStringLiteral("base")).toString();
    h.numero = o.value(QStringLiteral("reparto")).toString();
    h.existe = o.value(QStringLiteral("existe")).toBool();
    if (o.value(QStringLiteral("formato")).toInt() != kFormato ||
        claveBase(h.servidor, h.base) != claveBase(servidor_, base_) ||
        h.numero.trimmed().isEmpty())
        return std::nullopt;
    const auto campos = textosDe(o.value(QStringLiteral("campos")), Reparto::Campos().size());
    const auto etiquetas = textosDe(o.value(QStringLiteral("etiquetas")), kEtiquetas);
    const QJsonValue lineas = o.value(QStringLiteral("lineas"));
    if (!campos || !etiquetas || !lineas.isArray())
        return std::nullopt;
    h.campos = *campos;
    h.etiquetas = *etiquetas;
    for (const QJsonValue& l : lineas.toArray()) {
        const auto celdas = textosDe(l, ModeloGrilla::kColumnas);
        if (!celdas)
            return std::nullopt;
        auto& fila = h.lineas.emplace_back();
        std::copy(celdas->begin(), celdas->end(), fila.begin());
    }
    return h;
}

void Recuperacion::Borra() const {
    QFile::remove(ruta_);
}

void Recuperacion::Devuelve(const HojaRecuperada& hoja, Reparto& reparto) {
    const QStringList& campos = Reparto::Campos();
    for (qsizetype i = 0; i < campos.size() && i < hoja.campos.size(); ++i)
        if (campos[i].compare(QLatin1String("Reparto"), Qt::CaseInsensitive) != 0)
            reparto.setCampo(campos[i], hoja.campos[i]);
    for (qsizetype i = 0; i < kEtiquetas && i < hoja.etiquetas.size(); ++i)
        reparto.CuentaEtiqueta[i] = hoja.etiquetas[i];
    ModeloGrilla& lineas = reparto.Lineas();
    ModeloGrilla::Lote lote(lineas);
    lineas.limpia(); // no warning of the lines just loaded stays on them
    lineas.setFilas(static_cast<int>(hoja.lineas.size()));
    for (int f = 0; f < lineas.filas(); ++f)
        for (int c = 0; c < ModeloGrilla::kColumnas; ++c)
            lineas.setTexto(f, c, hoja.lineas[static_cast<size_t>(f)][static_cast<size_t>(c)]);
}
