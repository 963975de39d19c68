// Reading a run and the article master into the sheet's model.

#include "sheet/RepositorioReparto.h"

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Pasos.h"
#include "platform/Texto.h"
#include "platform/Utilidades.h"
#include "platform/ado/Valores.h"
#include "sheet/Reparto.h"

#include <QCryptographicHash>
#include <QSet>

#include <algorithm>

using hoja::TextoNumero;
using hoja::TextoValor;
using plataforma::DuplicaComillas;

namespace {

QVariant campo(ado::Recordset& rs, const char* nombre) {
    return rs.Fields(QString::fromLatin1(nombre)).Value();
}

QString texto(ado::Recordset& rs, const char* nombre) {
    return Utilidades::SinNulo(campo(rs, nombre)).toString();
}

} // namespace

QString ClaveArticulo(const QString& idArticulo) {
    // The database compares codes without regard to case; so does the sheet.
    return Utilidades::AjustaCodigo(idArticulo, 25).toUpper();
}

bool RepositorioReparto::abre(const QString& sql, ado::Recordset& rs) {
    return app_.db.AbrirRecordset(sql, rs) == DB_Dll::Apertura::Abierta;
}

// ------------------------------------------------------------------- runs

std::optional<RepartoAnterior> RepositorioReparto::UltimoFinalizado(const Reparto& r) {
    // By the run's date, not by when it was finished: runs are often finished out
    // of order, the odometer follows the trips. Runs numbered after this one came
    // later, whatever date they carry.
    const QString vehiculo = r.Campo(QStringLiteral("Vehiculo")).trimmed();
    if (vehiculo.isEmpty() || r.NumeroTexto().trimmed().isEmpty())
        return std::nullopt;
    ado::Recordset rs;
    std::optional<RepartoAnterior> anterior;
    if (abre(QStringLiteral("SELECT TOP 1 IdReparto, KmFinal FROM V_MV_REPARTO WITH(NOLOCK) "
                            "WHERE Vehiculo = '") +
                 DuplicaComillas(vehiculo) +
                 QStringLiteral("' AND NOT FINALIZADO IS NULL AND IdReparto < ") +
                 QString::number(r.Numero()) +
                 QStringLiteral(" ORDER BY Fecha DESC, IdReparto DESC"),
             rs) &&
        !rs.Eof()) {
        anterior = RepartoAnterior{texto(rs, "IdReparto").trimmed(), std::nullopt};
        const QVariant fin = rs.Fields(QStringLiteral("KmFinal")).Value();
        if (!fin.isNull())
            anterior->kmFinal = Utilidades::ANumero(fin);
    }
    app_.db.CierraRecordset(rs);
    return anterior;
}

QString RepositorioReparto::ProximoReparto() {
    // Only the highest number matters, so only that row is read.
    ado::Recordset rs;
    QString proximo = QStringLiteral("1");
    if (abre(QStringLiteral("SELECT TOP 1 * FROM V_MV_REPARTO ORDER BY IDREPARTO DESC"), rs) &&
        !rs.Eof())
        proximo = QString::number(rs.Fields(QStringLiteral("IdReparto")).Value().toLongLong() + 1);
    app_.db.CierraRecordset(rs);
    return proximo;
}

bool RepositorioReparto::Existe(const QString& numero, QString* finalizado) {
    ado::Recordset rs;
    const bool existe = app_.db.ExisteEnTabla(QStringLiteral("V_MV_REPARTO"), numero,
                                              QStringLiteral("IDREPARTO"), &rs, 8, QString(), true);
    filaReparto_.reset();
    if (existe) {
        if (finalizado)
            *finalizado = texto(rs, "FINALIZADO");
        filaReparto_ = filaDe(numero, rs);
    }
    app_.db.CierraRecordset(rs);
    return existe;
}

RepositorioReparto::FilaReparto RepositorioReparto::filaDe(const QString& numero,
                                                           ado::Recordset& rs) {
    FilaReparto fila{numero.trimmed(), {}, HuellaFila(rs)};
    for (int i = 0; i < rs.FieldCount(); ++i)
        fila.valores.insert(rs.Fields(i).Name().toUpper(), rs.Fields(i).Value());
    return fila;
}

void RepositorioReparto::CargaCabecera(Reparto& r) {
    std::optional<FilaReparto> fila;
    if (filaReparto_ && filaReparto_->numero == r.NumeroTexto().trimmed())
        fila = std::move(filaReparto_);
    filaReparto_.reset();
    // A field the row lacks fails as the recordset's would.
    const auto campoFila = [&](const char* nombre) {
        const auto it = fila ? fila->valores.constFind(QString::fromLatin1(nombre).toUpper())
                             : QHash<QString, QVariant>::const_iterator();
        if (!fila || it == fila->valores.cend())
            throw ado::FallaSinElemento(QStringLiteral("V_MV_REPARTO"));
        return *it;
    };
    const auto textoFila = [&](const char* nombre) {
        return Utilidades::SinNulo(campoFila(nombre)).toString();
    };
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                if (fila)
                    return;
                ado::Recordset rs;
                if (abre(QStringLiteral("SELECT * FROM V_MV_REPARTO WHERE IDREPARTO = ") +
                             r.NumeroTexto(),
                         rs) &&
                    !rs.BOF() && !rs.Eof()) {
                    fila = filaDe(r.NumeroTexto(), rs);
                }
                app_.db.CierraRecordset(rs);
            },
            [&] {
                // Every value is read before any field changes, so a failure leaves
                // them all as they were.
                QList<std::pair<QString, QString>> cargas;
                if (!fila)
                    throw ado::Falla(ado::codigo::adErrNoCurrentRecord,
                                     QStringLiteral("Either BOF or EOF is True, or the current "
                                                    "record has been deleted."),
                                     QStringLiteral("V_MV_REPARTO"));
                for (const QString& c : Reparto::Campos()) {
                    const auto it = fila->valores.constFind(c.toUpper());
                    if (it != fila->valores.cend())
                        cargas.append({c, TextoValor(*it)});
                }
                r.HuellaCabecera = fila->huella;
                for (const auto& [c, t] : cargas)
                    r.setCampo(c, t);
            },
            [&] {
                // A run stored with class 0 (an empty field, as the suite stores it)
                // is priced as an empty class is.
                if (r.Campo(QStringLiteral("Clase")).trimmed() == QLatin1String("0"))
                    r.setCampo(QStringLiteral("Clase"), QString());
            },
            [&] {
                const QVariant fin = campoFila("FINALIZADO");
                if (!Utilidades::SinNulo(fin).toString().isEmpty())
                    r.Finalizado = TextoValor(fin);
            },
            [&] {
                // The five account descriptions in one read.
                static const char* const kColumnas[] = {"CUENTAG1", "CUENTAG2", "CUENTAG3",
                                                        "CUENTAG4", "CuentaMP"};
                QList<std::pair<QString, int>> pedidas;
                QStringList codigos;
                for (int i = 0; i < 5; ++i) {
                    const QString codigo = textoFila(kColumnas[i]);
                    if (codigo.isEmpty())
                        continue;
                    pedidas.append({codigo.trimmed(), i});
                    codigos << u'\'' + DuplicaComillas(codigo.trimmed()) + u'\'';
                }
                if (pedidas.isEmpty())
                    return;
                ado::Recordset rc;
                QHash<QString, QString> descripciones;
                if (abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS with(nolock) "
                                        "WHERE LTRIM(RTRIM(CODIGO)) IN (") +
                             codigos.join(u',') + u')',
                         rc))
                    for (; !rc.Eof(); rc.MoveNext())
                        descripciones.insert(texto(rc, "CODIGO").trimmed().toUpper(),
                                             texto(rc, "DESCRIPCION"));
                app_.db.CierraRecordset(rc);
                for (const auto& [codigo, i] : pedidas)
                    r.CuentaEtiqueta[i] = descripciones.value(codigo.toUpper());
            },
        });
}

// ----------------------------------------------------------- article lines

Articulo RepositorioReparto::leeArticulo(ado::Recordset& rs) {
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

QString RepositorioReparto::Piva() {
    if (!piva_)
        piva_ = app_.cfg.Cfg(QStringLiteral("PIVA"));
    return *piva_;
}

void RepositorioReparto::LlenaArticulo(Reparto& r, int fila, const Articulo& a) {
    // The price column goes by the run's class; a class without a price column
    // fails before the line changes, so the line keeps its previous prices.
    const QString clase = r.Campo(QStringLiteral("Clase")).trimmed();
    QString precio;
    if (clase.isEmpty()) {
        precio = TextoNumero(Utilidades::ANumero(a.Precio[1]));
    } else {
        bool ok = false;
        const int n = clase.toInt(&ok);
        if (!ok || n < 1 || n > 5)
            throw ado::FallaSinElemento(QStringLiteral("Precio") + clase);
        precio = TextoValor(a.Precio[n]);
    }
    QString tasa;
    if (a.TasaIva.isNull()) {
        tasa = Piva();
    } else {
        const Currency t = Utilidades::ANumero(a.TasaIva);
        tasa = TextoNumero(t != Currency() ? t : Utilidades::ANumero(Piva()));
    }
    ModeloGrilla& g = r.Lineas();
    const QString id = Utilidades::SinNulo(a.IdArticulo).toString();
    g.setTexto(fila, col::Producto,
               id.trimmed() + u' ' + Utilidades::SinNulo(a.Descripcion).toString());
    g.setTexto(fila, col::Id, id);
    g.setTexto(fila, col::Costo, TextoNumero(Utilidades::ANumero(a.Costo)));
    g.setTexto(fila, col::Precio, precio);
    g.setTexto(fila, col::Tasa, tasa);
    g.setTexto(fila, col::Impuestos, TextoNumero(Utilidades::ANumero(a.Impuestos)));
    g.setTexto(fila, col::Importe, TextoNumero(r.ValorItem(fila) * r.Cantidad(fila, col::VtaKg)));
}

std::optional<Articulo> RepositorioReparto::articuloPorId(const QString& idArticulo) {
    ado::Recordset rs;
    std::optional<Articulo> a;
    if (abre(QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO = '") +
                 DuplicaComillas(Utilidades::AjustaCodigo(idArticulo, 25)) + u'\'',
             rs) &&
        !rs.Eof())
        a = leeArticulo(rs);
    app_.db.CierraRecordset(rs);
    return a;
}

QHash<QString, Articulo> RepositorioReparto::articulosPorConsulta(const QString& sql) {
    QHash<QString, Articulo> articulos;
    ado::Recordset rs;
    if (abre(sql, rs)) {
        articulos.reserve(rs.RecordCount());
        for (; !rs.Eof(); rs.MoveNext()) {
            Articulo a = leeArticulo(rs);
            articulos.insert(ClaveArticulo(Utilidades::SinNulo(a.IdArticulo).toString()),
                             std::move(a));
        }
    }
    app_.db.CierraRecordset(rs);
    return articulos;
}

void RepositorioReparto::RecalculaFila(Reparto& r, int fila) {
    if (fila < 0 || fila >= r.Lineas().filas())
        return;
    if (const auto a = articuloPorId(r.Lineas().texto(fila, col::Id)))
        LlenaArticulo(r, fila, *a);
}

void RepositorioReparto::RecalculaPrecios(Reparto& r) {
    // One read of the grid's articles instead of one per line; the lines are then
    // filled as one by one reads would fill them.
    ModeloGrilla& g = r.Lineas();
    const int n = g.filas();
    QHash<QString, Articulo> articulos;
    constexpr int kPorConsulta = 500;
    for (int desde = 0; desde < n; desde += kPorConsulta) {
        QString lista;
        for (int f = desde; f < std::min(n, desde + kPorConsulta); ++f) {
            if (!lista.isEmpty())
                lista += u',';
            lista +=
                u'\'' + DuplicaComillas(Utilidades::AjustaCodigo(g.texto(f, col::Id), 25)) + u'\'';
        }
        articulos.insert(articulosPorConsulta(
            QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO IN (") + lista + u')'));
    }
    ModeloGrilla::Lote lote(g);
    for (int f = 0; f < n; ++f) {
        const auto a = articulos.constFind(ClaveArticulo(g.texto(f, col::Id)));
        if (a != articulos.cend())
            LlenaArticulo(r, f, *a);
    }
}

bool RepositorioReparto::RubrosValidos(QString& lista) {
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
                // Every code checked with one read, compared as the server compares.
                QStringList citados;
                for (const QString& item : items)
                    if (!item.trimmed().isEmpty())
                        citados << u'\'' + DuplicaComillas(item.trimmed()) + u'\'';
                if (citados.isEmpty())
                    return;
                QSet<QString> existentes;
                ado::Recordset rs;
                if (abre(QStringLiteral("SELECT idrubro FROM v_ta_rubros with(nolock)  WHERE "
                                        "LTRIM(RTRIM(idrubro)) IN (") +
                             citados.join(u',') + u')',
                         rs))
                    for (; !rs.Eof(); rs.MoveNext())
                        existentes.insert(texto(rs, "idrubro").trimmed().toUpper());
                app_.db.CierraRecordset(rs);
                for (const QString& item : items)
                    if (!item.trimmed().isEmpty() && !existentes.contains(item.trimmed().toUpper()))
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
        });
    return valido;
}

void RepositorioReparto::ArmaGrilla(Reparto& r, const QString& filtro,
                                    const AvisoProgreso& progreso) {
    ado::Recordset rs;
    ModeloGrilla& g = r.Lineas();
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {
            [&] {
                abre(QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE SUSPENDIDO=0 ") + filtro +
                         QStringLiteral(" Order by idarticulo"),
                     rs);
            },
            [&] {
                if (rs.State() != ado::adStateOpen || rs.Eof())
                    return;
                const int total = rs.RecordCount();
                ModeloGrilla::Lote lote(g);
                for (int i = 1; !rs.Eof(); ++i) {
                    g.setFilas(i);
                    LlenaArticulo(r, i - 1, leeArticulo(rs));
                    rs.MoveNext();
                    if (progreso)
                        progreso(i, total);
                }
            },
            [&] { app_.db.CierraRecordset(rs); },
        });
}

QHash<QString, Movimientos> RepositorioReparto::movimientosDelReparto(const QString& reparto,
                                                                      const QString& articulo) {
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
        sql += QStringLiteral(" AND V_MV_STOCK.IDARTICULO = '") + DuplicaComillas(articulo) + u'\'';
    sql += QStringLiteral(" GROUP BY V_MV_Stock.IDArticulo");
    QHash<QString, Movimientos> movs;
    ado::Recordset rs;
    if (abre(sql, rs)) {
        for (; !rs.Eof(); rs.MoveNext()) {
            Movimientos m;
            m.vendidoKg = Utilidades::ANumero(campo(rs, "VendidoKg"));
            m.vendidoUd = Utilidades::ANumero(campo(rs, "VendidoUd"));
            m.devueltoKg = Utilidades::ANumero(campo(rs, "DevueltoKg"));
            m.devueltoUd = Utilidades::ANumero(campo(rs, "DevueltoUd"));
            movs.insert(ClaveArticulo(texto(rs, "IDArticulo")), m);
        }
    }
    app_.db.CierraRecordset(rs);
    return movs;
}

void CalculaDevolucionEn(Reparto& r, int f, bool enUnidades, const Movimientos& m) {
    const auto lee = [&](int c) { return r.Cantidad(f, c); };
    if (enUnidades)
        r.Lineas().setTexto(
            f, col::DevUd,
            TextoNumero(lee(col::CargaUd) + lee(col::RecargaUd) - lee(col::VtaUd) + m.devueltoUd));
    else
        r.Lineas().setTexto(
            f, col::DevKg,
            TextoNumero(lee(col::CargaKg) + lee(col::RecargaKg) - lee(col::VtaKg) + m.devueltoKg));
}

void RepositorioReparto::CalculaDevolucion(Reparto& r, int fila, bool enUnidades) {
    if (fila < 0 || fila >= r.Lineas().filas())
        return;
    const QString id = Utilidades::AjustaCodigo(r.Lineas().texto(fila, col::Id), 25);
    const auto movs = movimientosDelReparto(r.NumeroTexto(), id);
    CalculaDevolucionEn(r, fila, enUnidades, movs.value(ClaveArticulo(id)));
    RecalculaFila(r, fila);
}

void RepositorioReparto::CargaDetalle(Reparto& r, const AvisoProgreso& progreso) {
    // The run's lines, their articles and every voucher movement of the run are
    // read with one query each, whatever the number of lines.
    const QString N = r.NumeroTexto();
    ado::Recordset rs;
    if (!abre(QStringLiteral("SELECT * FROM V_MV_REPARTODET WHERE IDREPARTO = ") + N, rs)) {
        // Lines that could not be read must not be saved as none.
        r.LineaIncompleta = 1;
        return;
    }
    QList<QByteArray> leidas;
    if (!rs.Eof()) {
        const auto articulos = articulosPorConsulta(
            QStringLiteral("SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO IN (SELECT IdArticulo "
                           "FROM V_MV_REPARTODET WHERE IDREPARTO = ") +
            N + u')');
        const auto movs = movimientosDelReparto(N);
        const int total = rs.RecordCount();
        ModeloGrilla& g = r.Lineas();
        int f = 0;
        try {
            ModeloGrilla::Lote lote(g);
            // The lines are the run's own: nothing of the list shown before stays.
            g.setFilas(0);
            for (int i = 1; !rs.Eof(); ++i) {
                f = i - 1;
                leidas.append(HuellaFila(rs));
                g.setFilas(i);
                const QString id = texto(rs, "IdArticulo");
                const auto cant = [&](const char* nombre) { return TextoValor(campo(rs, nombre)); };
                const auto a = articulos.constFind(ClaveArticulo(id));
                if (a != articulos.cend()) {
                    LlenaArticulo(r, f, *a);
                } else {
                    // An article that left the master keeps the line's own article,
                    // description and prices, marked so the clerk sees why.
                    g.setTexto(f, col::Producto, texto(rs, "Descripcion"));
                    g.setTexto(f, col::Id, id);
                    g.setTexto(f, col::Costo, cant("Costo"));
                    g.setTexto(f, col::Precio, cant("Importe_S_Iva"));
                    g.setTexto(f, col::Tasa, cant("aliciva"));
                    g.setTexto(f, col::Impuestos, cant("Impuestos"));
                    g.setAviso(f, QStringLiteral("El artículo ya no está en el maestro de "
                                                 "artículos: se conservan los datos de la línea "
                                                 "grabada."));
                }
                g.setTexto(f, col::CargaKg, cant("Cantidad"));
                g.setTexto(f, col::CargaUd, cant("CantidadUD"));
                g.setTexto(f, col::RecargaKg, cant("REC_CANTIDAD"));
                g.setTexto(f, col::RecargaUd, cant("REC_CANTIDADUD"));
                const Movimientos m = movs.value(ClaveArticulo(id));
                g.setTexto(f, col::VtaKg, TextoNumero(m.vendidoKg));
                g.setTexto(f, col::VtaUd, TextoNumero(m.vendidoUd));
                g.setTexto(f, col::DevKg, cant("DEV_CANTIDAD"));
                g.setTexto(f, col::DevUd, cant("DEV_CANTIDADUD"));
                // The stored returns give way to the computed ones.
                const Movimientos dev = movs.value(ClaveArticulo(g.texto(f, col::Id)));
                CalculaDevolucionEn(r, f, false, dev);
                CalculaDevolucionEn(r, f, true, dev);
                const auto b = articulos.constFind(ClaveArticulo(g.texto(f, col::Id)));
                if (b != articulos.cend())
                    LlenaArticulo(r, f, *b);
                else
                    g.setTexto(f, col::Importe,
                               TextoNumero(r.ValorItem(f) * r.Cantidad(f, col::VtaKg)));
                rs.MoveNext();
                if (progreso)
                    progreso(i, total);
            }
        } catch (...) {
            // A sheet that did not load whole must never be saved over the run.
            r.LineaIncompleta = f + 1;
            app_.db.CierraRecordset(rs);
            throw;
        }
    }
    r.HuellaLineas = HuellaDeFilas(std::move(leidas));
    app_.db.CierraRecordset(rs);
}

// ------------------------------------------------------------------ checks

std::optional<QString> RepositorioReparto::DescripcionCuenta(const QString& codigo,
                                                             bool medioDePago) {
    ado::Recordset rs;
    const QString condicion =
        QStringLiteral("CODIGO = '") + DuplicaComillas(codigo) +
        (medioDePago ? QStringLiteral("' AND TITULO = 0 AND NOT MEDIODEPAGO IS NULL")
                     : QStringLiteral("' AND TITULO = 0 AND MEDIODEPAGO IS NULL"));
    std::optional<QString> descripcion;
    if (app_.db.ExisteEnTabla(QStringLiteral("MA_CUENTAS"), codigo, QStringLiteral("CODIGO"), &rs,
                              8, condicion, true))
        descripcion = texto(rs, "Descripcion");
    app_.db.CierraRecordset(rs);
    return descripcion;
}

void RepositorioReparto::GrabaRubros(const QString& lista) {
    app_.cfg.GrabaDfg(QStringLiteral("CC_Col1"), lista, QString(), false, QStringLiteral("DATOS"),
                      true);
}

QString RepositorioReparto::ObtieneTipoRegCont() {
    return app_.cfg.Cfg(QStringLiteral("TIPOREGFACTURACION"));
}

// --------------------------------------------------------------- summaries

void RepositorioReparto::Comprobantes(const QString& N, ado::Recordset& rs) {
    app_.db.Consulta(
        QStringLiteral("SELECT TC,SUBSTRING(IDCOMPROBANTE,13,1) AS LETRA, SUM(IMPORTE) AS "
                       "TOTAL FROM V_MV_CPTE WHERE IDREPARTO = ") +
            N +
            QStringLiteral(" AND FINALIZADA=0 AND ANULADA=0 GROUP BY TC, "
                           "SUBSTRING(IDCOMPROBANTE,13,1)"),
        rs);
}

void RepositorioReparto::Cobranzas(const QString& N, ado::Recordset& rs) {
    app_.db.Consulta(
        QStringLiteral(" SELECT MV_APLICACION.TC AS TC_COB, ") +
            QStringLiteral(" sum(MV_APLICACION.Importe) as Total ") +
            QStringLiteral(" FROM V_MV_Cpte INNER JOIN ") + QStringLiteral(" MV_APLICACION ON ") +
            QStringLiteral(" V_MV_Cpte.CUENTA = MV_APLICACION.CUENTA AND ") +
            QStringLiteral(" V_MV_Cpte.TC = MV_APLICACION.TCO_ORIGEN AND ") +
            QStringLiteral(" V_MV_Cpte.IdComprobante = MV_APLICACION.IDComprobante_Origen ") +
            QStringLiteral(" WHERE (V_MV_Cpte.IdReparto = ") + N + QStringLiteral(") AND ") +
            QStringLiteral(" V_MV_CPTE.ANULADA <> 1 AND ") +
            QStringLiteral(" V_MV_CPTE.TC <> 'RM' AND ") +
            QStringLiteral(" (MV_APLICACION.TC = 'CB' OR ") +
            QStringLiteral(" MV_APLICACION.Tc = 'CBCT') ") +
            QStringLiteral(" GROUP BY MV_APLICACION.TC"),
        rs);
}

// ------------------------------------------------------------------ saving

namespace {

void sumaValor(QCryptographicHash& h, const QVariant& v) {
    if (v.isNull())
        h.addData("\x01");
    else if (v.metaType() == QMetaType::fromType<Currency>())
        h.addData(v.value<Currency>().texto().toUtf8());
    else if (v.typeId() == QMetaType::QDateTime)
        h.addData(v.toDateTime().toString(Qt::ISODateWithMs).toUtf8());
    else
        h.addData(v.toString().toUtf8());
    h.addData("\x1f");
}

} // namespace

QByteArray HuellaFila(ado::Recordset& rs) {
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (int i = 0; i < rs.FieldCount(); ++i)
        sumaValor(h, rs.Fields(i).Value());
    return h.result();
}

QByteArray HuellaDeFilas(QList<QByteArray> filas) {
    // Rows come in no promised order: the same rows give the same fingerprint.
    std::sort(filas.begin(), filas.end());
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (const QByteArray& f : filas)
        h.addData(f);
    return h.result();
}

bool RepositorioReparto::sigueComoSeLeyo(const Reparto& r, ado::Recordset& cabecera) {
    // Read under an update lock (SQL Server) inside the save's transaction, which
    // on the embedded database already holds the write lock: no other save can
    // come between this check and the writes. The header stays open to be written.
    const QString N = r.NumeroTexto();
    app_.db.ConsultaEditable(
        QStringLiteral("SELECT * FROM V_MV_REPARTO WITH (UPDLOCK, HOLDLOCK) WHERE IDREPARTO = ") +
            N,
        cabecera);
    const QByteArray huella = cabecera.Eof() ? QByteArray() : HuellaFila(cabecera);
    if (!r.Existe)
        return huella.isEmpty();
    if (huella != r.HuellaCabecera)
        return false;
    ado::Recordset rs;
    app_.db.Consulta(
        QStringLiteral(
            "SELECT * FROM V_MV_REPARTODET WITH (UPDLOCK, HOLDLOCK) WHERE IDREPARTO = ") +
            N,
        rs);
    QList<QByteArray> filas;
    for (; !rs.Eof(); rs.MoveNext())
        filas.append(HuellaFila(rs));
    rs.Close();
    return HuellaDeFilas(std::move(filas)) == r.HuellaLineas;
}

Grabacion RepositorioReparto::Graba(const Reparto& r, bool finalizando, DatosAsiento* asiento) {
    TransaccionDB transaccion(app_.db);
    ado::Recordset cabecera;
    if (!sigueComoSeLeyo(r, cabecera))
        return r.Existe ? Grabacion::CambiadaEnOtroPuesto : Grabacion::NumeroOcupado;
    // Read under the lock: two runs finished at once get two different numbers.
    if (asiento && !numeraAsiento(r, *asiento))
        return Grabacion::SinAsiento;
    grabaCabecera(r, finalizando, cabecera);
    grabaLineas(r);
    if (asiento && asiento->registra)
        asientoReparto(r, *asiento);
    transaccion.Confirma();
    return Grabacion::Grabada;
}

void RepositorioReparto::grabaCabecera(const Reparto& r, bool finalizando, ado::Recordset& rs) {
    if (!r.Existe)
        rs.AddNew();
    const auto texto = [&](const char* c) { return r.Campo(QString::fromLatin1(c)); };
    const auto importe = [&](const char* c) { return r.Importe(QString::fromLatin1(c)); };
    rs.Fields(QStringLiteral("IdReparto")) = r.Numero();
    rs.Fields(QStringLiteral("IdComplemento")) = 0;
    try {
        rs.Fields(QStringLiteral("Fecha")) = texto("Fecha").trimmed();
    } catch (const ado::Falla& f) {
        // The only text the table converts: the conversion message names the field.
        if (f.Number != ado::codigo::adErrDataConversion)
            throw;
        throw ado::Falla(f.Number, f.Description, QStringLiteral("Fecha"), f.Registros);
    }
    rs.Fields(QStringLiteral("vehiculo")) = texto("Vehiculo").trimmed();
    rs.Fields(QStringLiteral("Chofer")) = texto("Chofer").trimmed();
    rs.Fields(QStringLiteral("Clase")) = plataforma::LeeNumero(texto("Clase").trimmed());
    // "..." is what the field shows before anything was collected.
    rs.Fields(QStringLiteral("ImpRecaudado")) =
        texto("ImpRecaudado") == QLatin1String("...") ? Currency() : importe("ImpRecaudado");
    rs.Fields(QStringLiteral("Observaciones")) = texto("Observaciones");
    rs.Fields(QStringLiteral("kminicial")) = importe("KmInicial");
    rs.Fields(QStringLiteral("kmfinal")) = importe("KmFinal");
    for (int i = 1; i <= 4; ++i)
        rs.Fields(QStringLiteral("CUENTAG%1").arg(i)) = r.Campo(QStringLiteral("CuentaG%1").arg(i));
    rs.Fields(QStringLiteral("CuentaMP")) = texto("CuentaMP");
    for (int i = 1; i <= 4; ++i)
        rs.Fields(QStringLiteral("gasto%1").arg(i)) = r.Importe(QStringLiteral("Gasto%1").arg(i));
    rs.Fields(QStringLiteral("gastoMP")) = importe("GastoMP");
    if (finalizando)
        rs.Fields(QStringLiteral("FINALIZADO")) = QDateTime::currentDateTime();
    rs.Update();
    rs.Close();
}

namespace {

// A line's columns in the order their values are bound.
constexpr const char* kColumnasLinea[] = {
    "IdReparto",      "IdArticulo",   "Descripcion",    "CantidadUD",   "Cantidad",
    "REC_CANTIDADUD", "REC_CANTIDAD", "DEV_CANTIDADUD", "DEV_CANTIDAD", "Costo",
    "Importe_S_Iva",  "Impuestos",    "aliciva"};
constexpr int kColumnas = static_cast<int>(std::size(kColumnasLinea));

// One INSERT of `filas` lines. Every full batch of a save sends the same text, so
// a server (or the embedded file) compiles it once.
QString InsercionLineas(int filas) {
    QStringList columnas;
    for (const char* c : kColumnasLinea)
        columnas << QString::fromLatin1(c);
    const QString marcas = u'(' + QStringList(kColumnas, QStringLiteral("?")).join(u',') + u')';
    return QStringLiteral("INSERT INTO V_MV_REPARTODET (") + columnas.join(u',') +
           QStringLiteral(") VALUES ") + QStringList(filas, marcas).join(u',');
}

} // namespace

void RepositorioReparto::grabaLineas(const Reparto& r) {
    filaReparto_.reset(); // the row read before the save is no longer the stored one
    const QString N = r.NumeroTexto();
    app_.db.Ejecuta(QStringLiteral("delete V_MV_REPARTODET WHERE IDREPARTO = ") + N);

    const ModeloGrilla& g = r.Lineas();
    const int n = g.filas();
    // The view's columns are found by name, and each value becomes what a field
    // of that column's type would hold, as a recordset's AddNew sends it.
    ado::Recordset rs;
    app_.db.ConsultaEditable(
        QStringLiteral("SELECT top 1 * FROM V_MV_REPARTODET WHERE IDREPARTO = ") + N, rs);
    int tipos[kColumnas];
    for (int k = 0; k < kColumnas; ++k) {
        const QString nombre = QString::fromLatin1(kColumnasLinea[k]);
        tipos[k] = -1;
        for (int i = 0; i < rs.FieldCount(); ++i)
            if (rs.Fields(i).Name().compare(nombre, Qt::CaseInsensitive) == 0)
                tipos[k] = rs.Fields(i).Type();
        if (tipos[k] < 0 && n > 0) // the view lacks the column: let the layer say which
            throw ado::FallaSinElemento(QStringLiteral("V_MV_REPARTODET"));
    }
    rs.Close();

    // As many lines a statement as the server takes: on the network each statement
    // is a round trip. Oracle has no multi-row VALUES, so it gets one line each.
    const int porSentencia = app_.db.FilasPorInsercion(kColumnas);
    const QVariant id = r.Numero();
    QString llena;
    QVariantList valores;
    for (int desde = 0; desde < n; desde += porSentencia) {
        const int filas = std::min(porSentencia, n - desde);
        valores.clear();
        valores.reserve(filas * kColumnas);
        for (int f = desde; f < desde + filas; ++f) {
            int k = 0;
            const auto agrega = [&](const QVariant& v) {
                valores << ado::ValorParaCampo(tipos[k++], v);
            };
            agrega(id);
            agrega(Utilidades::AjustaCodigo(g.texto(f, col::Id), 25));
            agrega(g.texto(f, col::Producto));
            // Quantities go as the sheet read them, never as text for the database
            // to read another way ("1.500" is 1500 on screen and in the table).
            for (int c = 1; c <= 6; ++c)
                agrega(QVariant::fromValue(r.Cantidad(f, c)));
            agrega(QVariant::fromValue(r.Cantidad(f, col::Costo)));
            agrega(QVariant::fromValue(r.Cantidad(f, col::Precio)));
            agrega(QVariant::fromValue(r.Cantidad(f, col::Impuestos)));
            agrega(QVariant::fromValue(r.Cantidad(f, col::Tasa)));
        }
        if (filas < porSentencia) {
            app_.db.Ejecuta(InsercionLineas(filas), valores);
        } else {
            if (llena.isEmpty())
                llena = InsercionLineas(filas);
            app_.db.Ejecuta(llena, valores);
        }
    }
}
