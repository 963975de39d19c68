#include "SentenciaConsulta.h"

#include "platform/Utilidades.h"

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
