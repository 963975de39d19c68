#include "sheet/ConsultasHoja.h"

#include "app/Aplicacion.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/Utilidades.h"
#include "sheet/Reparto.h"

#include <initializer_list>

namespace {

bool es(const QString& texto, const char* nombre) {
    return texto.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

bool unoDe(const QString& texto, std::initializer_list<const char*> nombres) {
    for (const char* n : nombres)
        if (es(texto, n))
            return true;
    return false;
}

bool empieza(const QString& texto, const char* prefijo) {
    return texto.startsWith(QLatin1String(prefijo), Qt::CaseInsensitive);
}

// "ID" and the table's name from `desde`, in the name's own letter case; `sinS`
// drops a final S, since tables are plural and their keys singular.
QString id(const QString& tabla, int desde, bool sinS) {
    QString r = QStringLiteral("ID") + tabla.mid(desde);
    if (sinS && r.endsWith(u'S', Qt::CaseInsensitive))
        r.chop(1);
    return r;
}

// A code added to a rubros list, unless the list already holds it.
QString agregaRubro(const QString& lista, const QString& codigo) {
    if (lista.trimmed().isEmpty())
        return codigo;
    for (QString item : lista.split(u',')) {
        item.remove(u'\'');
        if (item.trimmed().compare(codigo, Qt::CaseInsensitive) == 0)
            return lista;
    }
    return lista.trimmed().endsWith(u',') ? lista + codigo : lista + u',' + codigo;
}

} // namespace

void DefinicionConsulta(const QString& tabla, QString& descripcion, QString& clave,
                        QString& extra) {
    const auto pon = [&](const QString& d, const QString& k, const QString& e) {
        descripcion = d;
        clave = k;
        extra = e;
    };
    const QString nada;
    const QString DESCRIPCION = QStringLiteral("DESCRIPCION");
    const QString NOMBRE = QStringLiteral("NOMBRE");
    const QString CODIGO = QStringLiteral("CODIGO");
    const QString primeros6 = tabla.left(6).toUpper();

    if (es(tabla, "V_TA_RETENCIONES"))
        return pon(QStringLiteral("Descripcion"), QStringLiteral("IdRetencion"), nada);
    if (unoDe(tabla,
              {"V_TA_Bancos", "V_TA_MotivoVta", "V_TA_MotivoCpra", "V_TA_Deposito", "V_TA_Tecnicos",
               "V_TA_Tareas", "V_TA_Unidad", "V_TA_TipoArticulo", "V_TA_Rubros", "V_TA_MotivoStock",
               "V_TA_CPRA_VTA", "V_TA_CATEGORIA", "V_TA_DESTINO", "V_TA_ORIGEN"})) {
        const QString k = es(tabla, "V_TA_CPRA_VTA")       ? QStringLiteral("IDCOND_CPRA_VTA")
                          : es(tabla, "V_TA_TipoArticulo") ? QStringLiteral("IDTIPO")
                                                           : id(tabla, 5, true);
        return pon(es(tabla, "V_TA_Tecnicos") ? NOMBRE : DESCRIPCION, k, nada);
    }
    if (unoDe(tabla, {"P_TA_NIVELESTUDIO", "P_TA_CONOCIMIENTOS", "P_TA_Categorizacion",
                      "P_TA_CentroMedico", "P_TA_FormasDePago", "P_MA_Empresas",
                      "P_TA_ZONARESIDENCIA", "P_TA_ObraSocial", "P_TA_MotivoEgreso", "P_TA_Grupos",
                      "P_TA_EstadoBusqueda", "P_TA_Areas", "P_TA_IDIOMAS", "P_TA_TITULOs",
                      "P_TA_ESTADOPOSTULANTE", "P_TA_Parentesco", "P_TA_EstadoCivil"}))
        return pon(es(tabla, "P_MA_Empresas") ? QStringLiteral("NombreEmpresa")
                                              : QStringLiteral("Descripcion"),
                   id(tabla, 5, !es(tabla, "P_TA_Areas")), nada);
    if (es(tabla, "P_SINDICATOS"))
        return pon(QStringLiteral("Descripcion"), QStringLiteral("IdSindicato"), nada);
    if (es(tabla, "P_TA_Funciones"))
        return pon(DESCRIPCION, id(tabla, 5, false), nada);
    if (unoDe(tabla,
              {"TA_Categoria", "TA_Deposito", "TA_MotivoStock", "TA_TipoArticulo", "TA_Rubros"}))
        return pon(DESCRIPCION,
                   es(tabla, "TA_TipoArticulo") ? QStringLiteral("IDTIPO") : id(tabla, 3, true),
                   nada);
    if (es(tabla, "P_MA_Clientes"))
        return pon(QStringLiteral("RAZON_SOCIAL"), QStringLiteral("IDCLIENTE"), nada);
    if (es(tabla, "TA_Cpte"))
        return pon(DESCRIPCION, CODIGO, DESCRIPCION);
    if (es(tabla, "V_MA_ARTICULOS"))
        return pon(DESCRIPCION, id(tabla, 5, true), DESCRIPCION);
    if (es(tabla, "MA_ARTICULOS"))
        return pon(DESCRIPCION, id(tabla, 3, true), DESCRIPCION);
    if (es(tabla, "MA_MODELOS"))
        return pon(NOMBRE, NOMBRE, NOMBRE);
    if (es(tabla, "MA_CHOFERES"))
        return pon(QStringLiteral("APELLIDO"), CODIGO, QStringLiteral("NOMBRES"));
    if (es(tabla, "MA_DESTINATARIOS"))
        return pon(NOMBRE, CODIGO, NOMBRE);
    if (es(tabla, "MA_VEHICULOS"))
        return pon(QStringLiteral("PATENTE"), QStringLiteral("PATENTE"), QStringLiteral("MODELO"));
    if (es(tabla, "MV_EJERCICIOS"))
        return pon(DESCRIPCION, QStringLiteral("PERIODO"), DESCRIPCION);
    if (es(tabla, "V_MV_REPARTO"))
        return pon(QStringLiteral("IDCOMPLEMENTO"), QStringLiteral("IDREPARTO"),
                   QStringLiteral("FECHA"));
    if (es(tabla, "TA_USUARIOS"))
        return pon(NOMBRE, NOMBRE, nada);
    if (es(tabla, "V_MA_PRECIOSCAB"))
        return pon(NOMBRE, QStringLiteral("IDLISTA"), nada);
    if (empieza(tabla, "TA_"))
        return pon(DESCRIPCION, CODIGO, DESCRIPCION);
    if (empieza(tabla, "MA_") &&
        unoDe(primeros6, {"MA_PRO", "MA_VEN", "MA_TRA", "MA_CON", "MA_AGE"}))
        return pon(QStringLiteral("Razon_Social"), QStringLiteral("Codigo"),
                   QStringLiteral("Razon_Social"));
    if (primeros6 == QLatin1String("MA_CLI"))
        return pon(QStringLiteral("Razon_Social"), QStringLiteral("Codigo"),
                   QStringLiteral("Codigo_sucursal"));
    if (empieza(tabla, "MA_"))
        return pon(QStringLiteral("Descripcion"), QStringLiteral("Codigo"),
                   QStringLiteral("Descripcion"));
    if (primeros6 == QLatin1String("[MA_CA"))
        return pon(QStringLiteral("nombre"), QStringLiteral("Codigo"), QStringLiteral("nombre"));
    if (primeros6 == QLatin1String("MV_PRO"))
        return pon(QStringLiteral("ASUNTO"), QStringLiteral("ID"), QStringLiteral("ASUNTO"));
}

ConsultaDeCampo QueConsulta(const QString& dataField, const QString& clave) {
    using Tipo = ConsultaDeCampo::Tipo;
    const QString k = clave.trimmed();
    const QString campo = dataField.trimmed();
    if (k.isEmpty())
        return {};
    if (es(campo, "Reparto"))
        return {Tipo::Repartos, QStringLiteral("Reparto"), {}};
    // The field holds a list of rubros, not an article.
    if (es(campo, "CC_Col1"))
        return {Tipo::Rubros, QStringLiteral("CC_Col1"), {}};
    if (es(k, "FECHA"))
        return {Tipo::Fecha, campo, {}};
    static const std::pair<const char*, const char*> kCuentas[] = {{"MA_CUENTAS1", "CuentaG1"},
                                                                   {"MA_CUENTAS2", "CuentaG2"},
                                                                   {"MA_CUENTAS3", "CuentaG3"},
                                                                   {"MA_CUENTAS4", "CuentaG4"},
                                                                   {"MA_CUENTASPAG", "CuentaMP"}};
    for (const auto& [tag, cuenta] : kCuentas) {
        if (!es(k, tag))
            continue;
        // An amount's lookup chooses the account of its own row; the amount stays.
        if (empieza(campo, "Gasto")) {
            const QString fila = campo.mid(5);
            return {Tipo::Cuentas,
                    QStringLiteral("Cuenta") +
                        (es(fila, "MP") ? QStringLiteral("MP") : QStringLiteral("G") + fila),
                    {}};
        }
        return {Tipo::Cuentas, QString::fromLatin1(cuenta), {}};
    }
    return {Tipo::Tabla, campo, k};
}

ConsultasHoja::ConsultasHoja(Aplicacion& app, std::unique_ptr<VistaConsulta> vista)
    : app_(app), vista_(std::move(vista)) {}

ConsultasHoja::~ConsultasHoja() = default;

Lib_ClsCons3& ConsultasHoja::Controlador() {
    if (!controlador_)
        controlador_ = std::make_unique<Lib_ClsCons3>(app_, *vista_);
    return *controlador_;
}

QString ConsultasHoja::SentenciaRepartos() {
    return QStringLiteral("SELECT IdReparto, Fecha, Vehiculo, Chofer, FINALIZADO FROM "
                          "V_MV_REPARTO ORDER BY IdReparto DESC");
}

QString ConsultasHoja::busca(const QString& sql, const QString& campoDevuelto) {
    Lib_ClsCons3& c = Controlador();
    c.CampoDevuelto = campoDevuelto;
    c.ConsultaSearch(sql);
    return c.ValorDevuelto.toString();
}

void ConsultasHoja::DefinicionConsulta(const QString& tabla, QString& descripcion, QString& clave,
                                       QString& extra, bool ejecuta, const QString& sqlExtra) {
    ::DefinicionConsulta(tabla, descripcion, clave, extra);
    if (!ejecuta)
        return;
    clave = busca(QStringLiteral("select ") + descripcion + u',' + clave +
                      QStringLiteral(" from ") + tabla + u' ' + sqlExtra,
                  clave);
}

ConsultasHoja::Resultado ConsultasHoja::Consultar(const QString& dataField, const QString& clave,
                                                  Reparto& r) {
    using Tipo = ConsultaDeCampo::Tipo;
    const ConsultaDeCampo c = QueConsulta(dataField, clave);
    if (c.tipo == Tipo::Ninguna)
        return {};
    Lib_ClsCons3& cons = Controlador();
    cons.gUsarMascarasConsultas = true;
    cons.gRutaMascaraConsultas =
        Utilidades::RutaConBarra(app_.carpetaPuesto) + QStringLiteral("CONSULTAS.VXF");

    QString valor;
    QString descripcion, codigo, extra;
    switch (c.tipo) {
    case Tipo::Ninguna:
        break;
    case Tipo::Fecha:
        valor = app_.util.EligeFecha();
        break;
    case Tipo::Cuentas:
        valor = busca(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"));
        break;
    case Tipo::Repartos:
        valor = busca(SentenciaRepartos(), QStringLiteral("IdReparto"));
        break;
    case Tipo::Rubros:
        DefinicionConsulta(QStringLiteral("V_TA_RUBROS"), descripcion, codigo, extra, true, {});
        valor = codigo;
        break;
    case Tipo::Tabla:
        DefinicionConsulta(c.tabla, descripcion, codigo, extra, true, {});
        valor = codigo;
        break;
    }
    // Nothing chosen leaves the field, and its label, as they were.
    if (valor.trimmed().isEmpty())
        return {};
    if (c.tipo == Tipo::Rubros)
        valor = agregaRubro(r.Campo(c.destino), valor.trimmed());
    else if (c.tipo != Tipo::Fecha)
        valor = valor.trimmed();
    r.setCampo(c.destino, valor);
    return {c.destino, c.destino.compare(dataField.trimmed(), Qt::CaseInsensitive) == 0};
}
