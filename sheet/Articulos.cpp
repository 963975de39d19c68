// The article grid: building it from the article master, filling a line, the
// unit value, the returns column and loading a saved run's lines.

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QTableView>

using hoja::TextoNumero;
using hoja::TextoValor;

namespace {

// Grid columns.
enum Col {
    cProducto = 0,
    cCargaUd = 1,
    cCargaKg = 2,
    cRecargaUd = 3,
    cRecargaKg = 4,
    cDevUd = 5,
    cDevKg = 6,
    cVtaUd = 7,
    cVtaKg = 8,
    cId = 9,
    cCosto = 10,
    cPrecio = 11,
    cTasa = 12,
    cImpuestos = 13,
    cImporte = 14,
};

QVariant campo(ado::Recordset& rs, const char* nombre) {
    return rs.Fields(QString::fromLatin1(nombre)).Value();
}

} // namespace

QString FrmHojaRuta::clave(const QString& idArticulo) {
    // The database compares codes without regard to case; so does the sheet.
    return Utilidades::AjustaCodigo(idArticulo, 25).toUpper();
}

FrmHojaRuta::Articulo FrmHojaRuta::leeArticulo(ado::Recordset& rs) {
    Articulo a;
    a.IdArticulo = campo(rs, "IdArticulo");
    a.Descripcion = campo(rs, "Descripcion");
    a.Costo = campo(rs, "Costo");
    a.TasaIva = campo(rs, "TASAIVA");
    a.Impuestos = campo(rs, "Impuestos");
    for (int i = 1; i <= 5; ++i)
        a.Precio[i] = rs.Fields(QStringLiteral("Precio%1").arg(i)).Value();
    return a;
}

QString FrmHojaRuta::piva() {
    if (!piva_)
        piva_ = app_.cfg.Cfg(QStringLiteral("PIVA"));
    return *piva_;
}

void FrmHojaRuta::llenaArticulo(int r, const Articulo& a) {
    // The price column goes by the run's class; a class without a price column
    // fails before the line changes, so the line keeps its previous prices.
    const QString clase = textoCampo(QStringLiteral("Clase")).trimmed();
    QString precio;
    if (clase.isEmpty()) {
        precio = TextoNumero(Utilidades::ANumero(a.Precio[1]));
    } else {
        bool ok = false;
        const int n = clase.toInt(&ok);
        if (!ok || n < 1 || n > 5)
            throw ado::Falla(ado::codigo::adErrItemNotFound,
                             QStringLiteral("Item cannot be found in the collection corresponding "
                                            "to the requested name or ordinal."),
                             QStringLiteral("Precio") + clase);
        precio = TextoValor(a.Precio[n]);
    }
    QString tasa;
    if (a.TasaIva.isNull()) {
        tasa = piva();
    } else {
        const Currency t = Utilidades::ANumero(a.TasaIva);
        tasa = TextoNumero(t != Currency() ? t : Utilidades::ANumero(piva()));
    }
    const QString id = Utilidades::SinNulo(a.IdArticulo).toString();
    grilla_->setTexto(r, cProducto,
                      id.trimmed() + u' ' + Utilidades::SinNulo(a.Descripcion).toString());
    grilla_->setTexto(r, cId, id);
    grilla_->setTexto(r, cCosto, TextoNumero(Utilidades::ANumero(a.Costo)));
    grilla_->setTexto(r, cPrecio, precio);
    grilla_->setTexto(r, cTasa, tasa);
    grilla_->setTexto(r, cImpuestos, TextoNumero(Utilidades::ANumero(a.Impuestos)));
    grilla_->setTexto(r, cImporte,
                      TextoNumero(ValorItem(r) * Utilidades::ANumero(grilla_->texto(r, cVtaKg))));
}

std::optional<FrmHojaRuta::Articulo> FrmHojaRuta::articuloPorId(const QString& idArticulo) {
    ado::Recordset rs;
    const bool abierta =
        app_.db.AbrirRecordset(
            QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO = '") +
                plataforma::DuplicaComillas(Utilidades::AjustaCodigo(idArticulo, 25)) + u'\'',
            rs) == DB_Dll::Apertura::Abierta;
    std::optional<Articulo> a;
    if (abierta && !rs.Eof())
        a = leeArticulo(rs);
    app_.db.CierraRecordset(rs);
    return a;
}

QHash<QString, FrmHojaRuta::Articulo> FrmHojaRuta::articulosPorConsulta(const QString& sql) {
    QHash<QString, Articulo> articulos;
    ado::Recordset rs;
    if (app_.db.AbrirRecordset(sql, rs) == DB_Dll::Apertura::Abierta) {
        articulos.reserve(rs.RecordCount());
        for (; !rs.Eof(); rs.MoveNext()) {
            Articulo a = leeArticulo(rs);
            articulos.insert(clave(Utilidades::SinNulo(a.IdArticulo).toString()), std::move(a));
        }
    }
    app_.db.CierraRecordset(rs);
    return articulos;
}

void FrmHojaRuta::CargaArticulo(int L, const QString& idArticulo, ado::Recordset* rs) {
    const int r = L - 1;
    if (r < 0 || r >= grilla_->filas())
        return;
    if (rs) {
        if (rs->State() == ado::adStateOpen && !rs->BOF() && !rs->Eof())
            llenaArticulo(r, leeArticulo(*rs));
        return;
    }
    if (const auto a = articuloPorId(idArticulo))
        llenaArticulo(r, *a);
}

Currency FrmHojaRuta::ValorItem(int r) const {
    try {
        const Currency P = Utilidades::ANumero(grilla_->texto(r, cPrecio));
        const Currency T = Utilidades::ANumero(grilla_->texto(r, cTasa));
        const Currency I = Utilidades::ANumero(grilla_->texto(r, cImpuestos));
        const Currency C = Currency::DesdeDouble(P.aDouble() * T.aDouble() / 100.0);
        return P + C + I;
    } catch (const ado::Falla&) {
        return Currency();
    }
}

void FrmHojaRuta::RecalculaFila() {
    const int r = filaActual();
    CargaArticulo(r + 1, grilla_->texto(r, cId));
}

void FrmHojaRuta::RecalculaPrecios() {
    // One read of the grid's articles instead of one per line; the lines are then
    // filled as one by one reads would fill them.
    const int n = grilla_->filas();
    QHash<QString, Articulo> articulos;
    constexpr int kPorConsulta = 500;
    for (int desde = 0; desde < n; desde += kPorConsulta) {
        QString lista;
        for (int r = desde; r < std::min(n, desde + kPorConsulta); ++r) {
            if (!lista.isEmpty())
                lista += u',';
            lista +=
                u'\'' +
                plataforma::DuplicaComillas(Utilidades::AjustaCodigo(grilla_->texto(r, cId), 25)) +
                u'\'';
        }
        articulos.insert(articulosPorConsulta(
            QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO IN (") + lista + u')'));
    }
    grilla_->empiezaLote();
    try {
        for (int r = 0; r < n; ++r) {
            const auto a = articulos.constFind(clave(grilla_->texto(r, cId)));
            if (a != articulos.cend())
                llenaArticulo(r, *a);
        }
    } catch (...) {
        grilla_->terminaLote();
        throw;
    }
    grilla_->terminaLote();
}

bool FrmHojaRuta::RubrosValidos(QString& lista) {
    bool valido = true;
    QStringList items;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] { lista = Utilidades::QuitaCaracteres(lista, QStringLiteral("'")); },
            [&] {
                if (lista.trimmed().isEmpty())
                    return;
                items = lista.split(u',');
                if (!items.isEmpty() && items.last().isEmpty())
                    items.removeLast();
                for (QString& item : items)
                    item = Utilidades::AjustaCodigo(item.trimmed(), 4);
            },
            [&] {
                for (const QString& item : items)
                    if (!item.trimmed().isEmpty() &&
                        !app_.db.ExisteEnTabla(QStringLiteral("v_ta_rubros"), item.trimmed(),
                                               QStringLiteral("idrubro"), nullptr, 8, QString(),
                                               true))
                        valido = false;
            },
            [&] {
                if (lista.trimmed().isEmpty())
                    return;
                QStringList citados;
                for (const QString& item : items)
                    if (!item.trimmed().isEmpty())
                        citados << u'\'' + item + u'\'';
                lista = citados.join(u',');
            },
            [&] {
                if (!lista.trimmed().isEmpty())
                    ponCampo(QStringLiteral("CC_Col1"), lista);
            },
        });
    return valido;
}

void FrmHojaRuta::ArmaGrilla(bool limpiaPrimero) {
    QString filtro;
    ado::Recordset rs;
    bool abierta = false;
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                if (limpiaPrimero)
                    grilla_->limpia();
            },
            [&] { anchosGrilla(); },
            [&] {
                QString lista = textoCampo(QStringLiteral("CC_Col1"));
                if (lista.trimmed().isEmpty())
                    return;
                if (!RubrosValidos(lista)) {
                    app_.dialogo.MsgBox(QStringLiteral("Error en los filtros por rubros, verifique "
                                                       "la configuracion de rubros para repartos"),
                                        plataforma::Estilo{}, QString());
                    return;
                }
                filtro = QStringLiteral(" and Idrubro in(") + lista + u')';
            },
            [&] {
                abierta =
                    app_.db.AbrirRecordset(QStringLiteral("SELECT * FROM V_MA_ARTICULOS "
                                                          "WHERE SUSPENDIDO=0 ") +
                                               filtro + QStringLiteral(" Order by idarticulo"),
                                           rs) == DB_Dll::Apertura::Abierta;
            },
            [&] {
                if (!abierta || rs.Eof())
                    return;
                const int total = rs.RecordCount();
                hoja::Progreso progreso(this, QStringLiteral("Armando la grilla..."), total);
                grilla_->empiezaLote();
                try {
                    for (int i = 1; !rs.Eof(); ++i) {
                        grilla_->setFilas(i);
                        CargaArticulo(i, rs.Fields(QStringLiteral("IdArticulo")).Value().toString(),
                                      &rs);
                        rs.MoveNext();
                        progreso.avanza(i);
                    }
                } catch (...) {
                    grilla_->terminaLote();
                    throw;
                }
                grilla_->terminaLote();
            },
            [&] { app_.db.CierraRecordset(rs); },
            [&] {
                if (limpiaPrimero)
                    if (QWidget* w = Campo(QStringLiteral("Reparto")))
                        w->setFocus();
            },
        });
}

QHash<QString, FrmHojaRuta::Movimientos>
FrmHojaRuta::movimientosDelReparto(const QString& reparto, const QString& articulo) {
    // Every movement counts: two sales of 3 kg are 6 kg sold. Sales leave stock
    // (negative kilograms) and count in absolute value; returns keep their sign.
    QString sql =
        QStringLiteral(
            " SELECT V_MV_Stock.IDArticulo, "
            " SUM(CASE WHEN V_MV_Stock.Cantidad < 0 THEN ABS(V_MV_Stock.Cantidad) ELSE 0 END) "
            "AS VendidoKg, "
            " SUM(CASE WHEN V_MV_Stock.Cantidad < 0 THEN ABS(V_MV_Stock.CantidadUD) ELSE 0 END) "
            "AS VendidoUd, "
            " SUM(CASE WHEN V_MV_Stock.Cantidad > 0 THEN V_MV_Stock.Cantidad ELSE 0 END) "
            "AS DevueltoKg, "
            " SUM(CASE WHEN V_MV_Stock.Cantidad > 0 THEN V_MV_Stock.CantidadUD ELSE 0 END) "
            "AS DevueltoUd "
            " FROM V_MV_Cpte INNER JOIN "
            " V_MV_Stock ON "
            " V_MV_Cpte.TC = V_MV_Stock.TC AND "
            " V_MV_Cpte.IdComprobante = V_MV_Stock.IdComprobante "
            " WHERE V_MV_Cpte.IdReparto = ") +
        reparto;
    if (!articulo.isNull())
        sql += QStringLiteral(" AND V_MV_STOCK.IDARTICULO = '") +
               plataforma::DuplicaComillas(articulo) + u'\'';
    sql += QStringLiteral(" GROUP BY V_MV_Stock.IDArticulo");
    QHash<QString, Movimientos> movs;
    ado::Recordset rs;
    if (app_.db.AbrirRecordset(sql, rs) == DB_Dll::Apertura::Abierta) {
        for (; !rs.Eof(); rs.MoveNext()) {
            Movimientos m;
            m.vendidoKg = Utilidades::ANumero(campo(rs, "VendidoKg"));
            m.vendidoUd = Utilidades::ANumero(campo(rs, "VendidoUd"));
            m.devueltoKg = Utilidades::ANumero(campo(rs, "DevueltoKg"));
            m.devueltoUd = Utilidades::ANumero(campo(rs, "DevueltoUd"));
            movs.insert(clave(Utilidades::SinNulo(campo(rs, "IDArticulo")).toString()), m);
        }
    }
    app_.db.CierraRecordset(rs);
    return movs;
}

void FrmHojaRuta::calculaDevolucionEn(int r, bool enUnidades, const Movimientos& m) {
    // Returns and leftovers = loaded + reloaded - sold + what came back on vouchers.
    const auto lee = [&](int c) { return Utilidades::ANumero(grilla_->texto(r, c)); };
    if (enUnidades)
        grilla_->setTexto(
            r, cDevUd, TextoNumero(lee(cCargaUd) + lee(cRecargaUd) - lee(cVtaUd) + m.devueltoUd));
    else
        grilla_->setTexto(
            r, cDevKg, TextoNumero(lee(cCargaKg) + lee(cRecargaKg) - lee(cVtaKg) + m.devueltoKg));
}

void FrmHojaRuta::CalculaDevolucion(bool enUnidades) {
    const int r = filaActual();
    if (r < 0 || r >= grilla_->filas())
        return;
    const QString id = Utilidades::AjustaCodigo(grilla_->texto(r, cId), 25);
    const auto movs = movimientosDelReparto(textoCampo(QStringLiteral("Reparto")), id);
    calculaDevolucionEn(r, enUnidades, movs.value(clave(id)));
    RecalculaFila();
}

void FrmHojaRuta::CargaDetalle() {
    // The run's lines, their articles and every voucher movement of the run are
    // read with one query each, whatever the number of lines.
    const QString N = textoCampo(QStringLiteral("Reparto"));
    if (app_.db.AbrirRecordset(
            QStringLiteral("SELECT * FROM V_MV_REPARTODET WHERE IDREPARTO = ") + N, rsDetalle) !=
        DB_Dll::Apertura::Abierta)
        return;
    if (!rsDetalle.Eof()) {
        const auto articulos = articulosPorConsulta(
            QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO IN (SELECT IdArticulo "
                           "FROM V_MV_REPARTODET WHERE IDREPARTO = ") +
            N + u')');
        const auto movs = movimientosDelReparto(N);
        const int total = rsDetalle.RecordCount();
        hoja::Progreso progreso(this, QStringLiteral("Cargando el reparto..."), total);
        grilla_->empiezaLote();
        try {
            for (int i = 1; !rsDetalle.Eof(); ++i) {
                const int r = i - 1;
                grilla_->setFilas(i);
                const QString id =
                    Utilidades::SinNulo(rsDetalle.Fields(QStringLiteral("IdArticulo")).Value())
                        .toString();
                const auto a = articulos.constFind(clave(id));
                if (a != articulos.cend())
                    llenaArticulo(r, *a);
                const auto cant = [&](const char* nombre) {
                    return TextoValor(rsDetalle.Fields(QString::fromLatin1(nombre)).Value());
                };
                grilla_->setTexto(r, cCargaKg, cant("Cantidad"));
                grilla_->setTexto(r, cCargaUd, cant("CantidadUD"));
                grilla_->setTexto(r, cRecargaKg, cant("REC_CANTIDAD"));
                grilla_->setTexto(r, cRecargaUd, cant("REC_CANTIDADUD"));
                const Movimientos m = movs.value(clave(id));
                grilla_->setTexto(r, cVtaKg, TextoNumero(m.vendidoKg));
                grilla_->setTexto(r, cVtaUd, TextoNumero(m.vendidoUd));
                grilla_->setTexto(r, cDevKg, cant("DEV_CANTIDAD"));
                grilla_->setTexto(r, cDevUd, cant("DEV_CANTIDADUD"));
                // The stored returns give way to the computed ones.
                const Movimientos dev = movs.value(clave(grilla_->texto(r, cId)));
                calculaDevolucionEn(r, false, dev);
                calculaDevolucionEn(r, true, dev);
                const auto b = articulos.constFind(clave(grilla_->texto(r, cId)));
                if (b != articulos.cend())
                    llenaArticulo(r, *b);
                rsDetalle.MoveNext();
                progreso.avanza(i);
            }
        } catch (...) {
            grilla_->terminaLote();
            app_.db.CierraRecordset(rsDetalle);
            throw;
        }
        grilla_->terminaLote();
    }
    app_.db.CierraRecordset(rsDetalle);
}
