// The report component's data source, amounts and connection over the application.

#include "app/Reportes.h"

#include "platform/Texto.h"
#include "platform/ado/Valores.h"
#include "report/Error.h"

namespace reportes {

namespace {

QString literal(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    if (ado::EsEntero(v))
        return QString::number(v.toLongLong());
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plataforma::TextoNumero(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return u'\'' + plataforma::DuplicaComillas(v.toString()) + u'\'';
    }
}

} // namespace

QString ConValores(const QString& sql, const QVariantList& valores) {
    QString r;
    r.reserve(sql.size() + 16 * valores.size());
    qsizetype siguiente = 0;
    QChar cierre; // of the quoted part in course, if any
    for (const QChar c : sql) {
        if (!cierre.isNull()) {
            r += c;
            if (c == cierre)
                cierre = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            cierre = c;
        } else if (c == u'[') {
            cierre = u']';
        } else if (c == u'?') {
            if (siguiente >= valores.size())
                throw reporte::Error(reporte::Error::Tipo::Consulta,
                                     QStringLiteral("Faltan valores para la consulta del reporte"));
            r += literal(valores[siguiente++]);
            continue;
        }
        r += c;
    }
    return r;
}

reporte::Tabla FuenteDatosDB::Consulta(const QString& sql, const QVariantList& valores) {
    ado::Recordset rs;
    app_.db.AbrirRecordset(ConValores(sql, valores), rs);
    if (rs.State() != ado::adStateOpen)
        throw reporte::Error(reporte::Error::Tipo::Consulta,
                             QStringLiteral("No se pudieron leer los datos del reporte"), true);
    reporte::Tabla t;
    const int columnas = rs.FieldCount();
    for (int c = 0; c < columnas; ++c)
        t.columnas << rs.Fields(c).Name();
    t.filas.reserve(rs.RecordCount());
    for (; !rs.Eof(); rs.MoveNext()) {
        QVariantList fila;
        fila.reserve(columnas);
        for (int c = 0; c < columnas; ++c)
            fila << rs.Fields(c).Value();
        t.filas << std::move(fila);
    }
    app_.db.CierraRecordset(rs);
    return t;
}

QString FormateadorApp::Moneda(Currency valor) const {
    // FmtMoneda reads the amount as the operator types it.
    const QString texto =
        valor.texto().replace(u'.', Utilidades::LocaleOperador(QLocale()).decimalPoint());
    return app_.FmtMoneda(texto, -1, true);
}

reporte::Conector ConectorDe(Aplicacion& app) {
    return [&app](const QString& conexion) -> std::unique_ptr<reporte::FuenteDatos> {
        if (conexion != app.sesion.gConexionDSN)
            throw reporte::Error(reporte::Error::Tipo::Conexion,
                                 QStringLiteral("La conexión del reporte no es la de la sesión"));
        return std::make_unique<FuenteDatosDB>(app);
    };
}

ado::Falla FallaDe(const reporte::Error& error) {
    using T = reporte::Error::Tipo;
    int numero = 0;
    switch (error.tipo) {
    case T::Archivo:
        numero = 53; // file not found
        break;
    case T::Formato:
        numero = 321; // invalid file format
        break;
    case T::Formula:
        numero = 20515; // the report engine's formula error
        break;
    case T::Consulta:
        numero = ado::codigo::E_FAIL;
        break;
    case T::Conexion:
        numero = ado::codigo::adErrInvalidConnection;
        break;
    case T::Salida:
        numero = 482; // printer error
        break;
    }
    return ado::Falla(numero, error.mensaje, QStringLiteral("Reportes"));
}

} // namespace reportes
