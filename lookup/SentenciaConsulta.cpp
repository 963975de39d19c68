#include "SentenciaConsulta.h"

#include "platform/Texto.h"
#include "platform/Utilidades.h"
#include "platform/sql/LexicoSql.h"

#include <algorithm>
#include <cmath>

namespace consulta {

namespace {

bool igual(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString where(const QString& condicion) {
    return condicion.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ");
}

// The caller's own query; article lookups read the view that carries the stock.
QString consultaPropia(const QString& SQL, QString& Where) {
    QString sentencia = SQL;
    if (Contiene(sentencia, QStringLiteral("V_MA_ARTICULOS")))
        sentencia = Utilidades::ReemplazaPalabra(sentencia, QStringLiteral("V_MA_ARTICULOS"),
                                                 QStringLiteral("VT_MA_ARTICULOS"));
    if (!Where.trimmed().isEmpty()) {
        if (!Contiene(Where, QStringLiteral("WHERE")))
            Where = QStringLiteral(" WHERE ") + Where;
        sentencia += Where;
    }
    return sentencia;
}

Armado desdeMascara(const MascaraConsulta& m, QString& CampoBusqueda, const QString& Where,
                    int filas) {
    QString tabla = m.Tabla;
    QString columnas =
        Utilidades::ReemplazaTexto(m.Campos, QStringLiteral("|"), QStringLiteral(",")).trimmed();
    if (columnas.startsWith(u','))
        columnas.remove(0, 1);
    if (columnas.endsWith(u','))
        columnas.chop(1);
    if (columnas.isEmpty())
        columnas = QStringLiteral("*");
    if (CampoBusqueda.isEmpty()) {
        if (!columnas.contains(u','))
            return {QString(), true};
        CampoBusqueda = columnas.section(u',', 0, 0);
    }
    // The definition's condition takes the place of the caller's.
    QString condicion = m.Condicion;
    if (condicion.isEmpty() && !Where.trimmed().isEmpty())
        condicion = Where;
    QString porDefecto;
    if (igual(tabla, "VT_PROVEEDORES") || igual(tabla, "VT_CLIENTES")) {
        porDefecto = QStringLiteral("Dada_De_Baja = 0");
    } else if (igual(tabla, "V_MA_ARTICULOS")) {
        tabla = QStringLiteral("VT_MA_ARTICULOS");
        porDefecto = QStringLiteral("SUSPENDIDO = 0");
    }
    if (condicion.trimmed().isEmpty() && !porDefecto.isEmpty())
        condicion = porDefecto;
    const QString cabeza = QStringLiteral("SELECT TOP ") + QString::number(filas) + u' ' +
                           columnas + QStringLiteral(" FROM ") + tabla;
    if (CampoBusqueda.isEmpty()) // only when the columns began with two commas
        return {cabeza + QStringLiteral(" with(nolock) ") + where(condicion) + condicion, false};
    return {cabeza + QStringLiteral("  with(nolock) ") + where(condicion) + condicion +
                QStringLiteral(" ORDER BY ") + CampoBusqueda,
            false};
}

// Columns of a table without a definition: the bookkeeping ones are left out and
// the list is searched by its description, or else by the table's first column.
QString columnasDescubiertas(const QString& tabla, const QStringList& nombres,
                             QString& CampoBusqueda) {
    const bool guardaId = igual(tabla, "v_mv_mutuales") || igual(tabla, "V_MV_TROPA_STOCK");
    QString lista;
    bool alguna = false;
    for (const QString& c : nombres) {
        if (igual(c, "ID") || igual(c, "FECHAHORA_MODIFICACION") ||
            igual(c, "FECHAHORA_GRABACION")) {
            if (!guardaId)
                continue;
            CampoBusqueda = c;
        } else if (igual(c, "DESCRIPCION") || igual(c, "NOMBRE") || igual(c, "DETALLE")) {
            CampoBusqueda = c;
        } else if (!alguna) {
            CampoBusqueda = c;
        }
        lista = c + u',' + lista; // each one in front: the list ends reversed
        alguna = true;
    }
    if (lista.isEmpty())
        return QStringLiteral(" * ");
    lista.chop(1);
    return lista;
}

Armado desdeTabla(const QString& tabla, QString& CampoBusqueda, const QString& Where,
                  const QString& SentenciaOpcional, int filas, const Fuentes& fuentes) {
    if (!SentenciaOpcional.isEmpty())
        return {SentenciaOpcional, false};
    QString columnas;
    if (igual(tabla, "V_TA_DEPOSITO")) {
        columnas = QStringLiteral("Descripcion,IdDeposito,UnidadNegocio");
        CampoBusqueda = QStringLiteral("IDDEPOSITO");
    } else {
        columnas = columnasDescubiertas(
            tabla, fuentes.columnas ? fuentes.columnas(tabla) : QStringList(), CampoBusqueda);
    }
    const QString condicion = u' ' + Where;
    return {QStringLiteral("SELECT TOP ") + QString::number(filas) + u' ' + columnas +
                QStringLiteral(" FROM ") + tabla + where(condicion) + condicion +
                QStringLiteral(" ORDER BY ") + CampoBusqueda,
            false};
}

} // namespace

bool Contiene(const QString& texto, const QString& parte) {
    return texto.contains(parte, Qt::CaseInsensitive);
}

QString AjustaWhere(const QString& where) {
    if (where.trimmed().size() > 1 && !where.startsWith(u'('))
        return QStringLiteral(" (") + where + QStringLiteral(") ");
    return where;
}

int FilasTope(const QString& valor) {
    double n = 0;
    try {
        n = Utilidades::ANumero(valor.trimmed()).aDouble();
    } catch (const ado::Falla&) {
        n = 0; // beyond any row count: as if unset
    }
    // Halves go to the even number, as the suite rounds.
    const double redondeado = std::nearbyint(n);
    if (redondeado == 0 || std::abs(redondeado) > 2147483647.0)
        return 1000;
    return static_cast<int>(redondeado);
}

Armado ArmaSentencia(const QString& SQL, QString& CampoBusqueda, QString& Where,
                     const QString& SentenciaOpcional, int filas, bool usarMascaras,
                     const Fuentes& fuentes) {
    if (Contiene(SQL, QStringLiteral("SELECT")))
        return {consultaPropia(SQL, Where), false};
    if (usarMascaras && fuentes.mascara)
        if (const auto m = fuentes.mascara(SQL))
            return desdeMascara(*m, CampoBusqueda, Where, filas);
    return desdeTabla(SQL, CampoBusqueda, Where, SentenciaOpcional, filas, fuentes);
}

} // namespace consulta

namespace consulta {

namespace {

// Where the statement's own clauses begin: words outside literals, names and
// parentheses. -1 for a clause it does not have.
struct Clausulas {
    int where = -1, groupBy = -1, orderBy = -1;
};

Clausulas clausulasDe(const QString& sql) {
    Clausulas c;
    const QList<sql::Token> tokens = sql::Tokeniza(sql);
    int nivel = 0;
    const auto siguientePalabra = [&](qsizetype i) -> qsizetype {
        for (++i; i < tokens.size() && sql::EsTrivia(tokens[i]); ++i) {
        }
        return i;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const sql::Token& t = tokens[i];
        if (t.simbolo == sql::Simbolo::AbreParentesis)
            ++nivel;
        else if (t.simbolo == sql::Simbolo::CierraParentesis)
            nivel = std::max(nivel - 1, 0);
        if (nivel > 0 || t.clase != sql::Clase::Palabra)
            continue;
        if (sql::EsPalabra(sql, t, QLatin1String("where")) && c.where < 0) {
            c.where = t.inicio;
        } else if (sql::EsPalabra(sql, t, QLatin1String("group")) ||
                   sql::EsPalabra(sql, t, QLatin1String("order"))) {
            const qsizetype j = siguientePalabra(i);
            if (j >= tokens.size() || !sql::EsPalabra(sql, tokens[j], QLatin1String("by")))
                continue;
            int& donde = sql::EsPalabra(sql, t, QLatin1String("group")) ? c.groupBy : c.orderBy;
            if (donde < 0)
                donde = t.inicio;
        }
    }
    return c;
}

// A statement cut where a new condition goes: before its ORDER BY or GROUP BY
// tail, joined to its WHERE or starting one.
struct Corte {
    QString base, cola, union_;
};

Corte corta(const QString& SQL, const QString& SQLBase) {
    Corte k{SQLBase, {}, {}};
    const Clausulas c = clausulasDe(SQL);
    if (c.orderBy >= 0) {
        k.cola = SQL.mid(c.orderBy);
        k.base = SQL.left(c.orderBy);
    }
    if (c.groupBy >= 0) {
        const QString grupo = SQL.mid(c.groupBy);
        if (!grupo.trimmed().isEmpty())
            k.cola = grupo;
        k.base = SQL.left(c.groupBy);
    }
    k.union_ = c.where >= 0 ? QStringLiteral(" and ") : QStringLiteral(" where ");
    return k;
}

} // namespace

QString NuevaBusqueda(const QString& SQL, const QString& SQLBase, const QString& columna,
                      const QString& texto, bool usaLike) {
    const Corte k = corta(SQL, SQLBase);
    QString prefijo;
    if (Contiene(k.base, QStringLiteral("stk_ma_articulos.")))
        prefijo = QStringLiteral("stk_ma_articulos.");
    if (Contiene(k.base, QStringLiteral("v_ma_articulos.")))
        prefijo = QStringLiteral("v_ma_articulos.");
    const QString patron =
        usaLike
            ? u'%' + QString(texto).replace(u' ', u'%') + u'%'
            : Utilidades::ReemplazaTexto(texto, QStringLiteral("*"), QStringLiteral("%")) + u'%';
    return k.base + k.union_ + prefijo + columna + QStringLiteral(" like '") +
           plataforma::DuplicaComillas(patron) + QStringLiteral("' ") + k.cola;
}

QString SentenciaFamilias() {
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ") +
           QStringLiteral("(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  ") +
           QStringLiteral(" Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) "
                          "< Len(LTrim(RTrim(b.IdFamilia)))) ") +
           QStringLiteral(" ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b "
                          "Where IdFamilia<>'' ORDER BY IdFamilia");
}

QString NuevaBusquedaArbol(const QString& SQL, const QString& texto) {
    const Corte k = corta(SQL, SQL);
    return k.base + k.union_ + QStringLiteral("Descripcion like '%") +
           plataforma::DuplicaComillas(texto) + QStringLiteral("%' ") + k.cola;
}

} // namespace consulta

namespace consulta {

QString SentenciaFaltante(const QDateTime& cuando, const QString& codigo,
                          const QString& descripcion, const QString& usuario) {
    const auto literal = [](const QString& t) { return plataforma::DuplicaComillas(t); };
    return QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                          "values('") +
           cuando.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QStringLiteral("','") +
           literal(Utilidades::AjustaCodigo(codigo, 25)) + QStringLiteral("','") +
           literal(descripcion.trimmed()) + QStringLiteral("','") + literal(usuario) +
           QStringLiteral("')");
}

} // namespace consulta

namespace consulta {

ProgramaTabla ProgramaMantenimiento(const QString& TablaConsulta) {
    const QString t = TablaConsulta.trimmed();
    const auto es = [&](const char* nombre) { return igual(t, nombre); };
    if (es("VT_CLIENTES"))
        return {QStringLiteral("SHELL:V_MA_CLIENTES"), QStringLiteral("1")};
    if (es("VT_PROVEEDORES"))
        return {QStringLiteral("SHELL:V_MA_CLIENTES"), QStringLiteral("0")};
    if (es("V_TA_Tecnicos"))
        return {QStringLiteral("SHELL:V_TA_Tecnicos"), QString()};
    if (es("V_TA_VENDEDORES"))
        return {QStringLiteral("SHELL:V_TA_VENDEDORES"), QString()};
    if (es("V_MA_ARTICULOS") || es("VT_MA_ARTICULOS"))
        return {QStringLiteral("SHELL:V_MA_ARTICULOS"), QString()};
    // V_TA_RUBROS, V_TA_UNIDAD and any other table: the tables' program.
    return {QStringLiteral("SHELL:V_TA_TABLAS"), TablaConsulta};
}

} // namespace consulta
