// The one check every typed value of the sheet goes through, and what a value
// implies once it passes.

#include "Interno.h"
#include "app/Aplicacion.h"
#include "platform/Texto.h"
#include "platform/gui/Barvex1.h"
#include "sheet/FrmHojaRuta.h"
#include "sheet/ModeloGrilla.h"
#include "ui_FrmHojaRuta.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

bool fechaValida(const QString& texto) {
    for (const char* formato : {"d/M/yyyy", "d/M/yy", "yyyy-MM-dd"})
        if (QDate::fromString(texto, QString::fromLatin1(formato)).isValid())
            return true;
    return false;
}

bool igual(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

} // namespace

void FrmHojaRuta::muestraMensajePendiente() {
    app_.dialogo.MsgBox(
        mensaje_, plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Information},
        QStringLiteral("Aviso al operador..."));
    mensaje_.clear();
}

void FrmHojaRuta::CampoValida(QLineEdit* control) {
    if (!control)
        return;
    const QString V = control->text().trimmed();
    const QString campo = control->property("DataField").toString().trimmed();
    HayError_ = false;
    bool detiene = false;
    const auto falla = [&](const char* texto, bool seDetiene) {
        HayError_ = true;
        mensaje_ = QString::fromUtf8(texto);
        detiene = seDetiene;
    };
    const auto numericoOVacio = [&] { return V.isEmpty() || Utilidades::EsNumerico(V); };
    try {
        if (igual(campo, "Editar")) {
            if (!numericoOVacio())
                falla("Debe ingresar una cantidad!!!", false);
        } else if (igual(campo, "Clase")) {
            // Only the whole classes 1 to 5 have a price column.
            static const QRegularExpression entero(QStringLiteral("^[0-9]+$"));
            const bool ok =
                V.isEmpty() || (entero.match(V).hasMatch() && V.toInt() >= 1 && V.toInt() <= 5);
            if (!ok)
                falla("Debe ingresar un número entre 1 y 5 !!!", false);
            else
                RecalculaPrecios();
        } else if (igual(campo, "CC_Col1")) {
            QString lista = control->text();
            if (!RubrosValidos(lista)) {
                falla("El código de artículo es inexistente!!!", false);
            } else {
                app_.cfg.GrabaDfg(QStringLiteral("CC_Col1"), control->text().trimmed(), QString(),
                                  false, QStringLiteral("DATOS"), true);
            }
        } else if (igual(campo, "Cargas_CarCantUD") || igual(campo, "Cargas_ReCarCantUD") ||
                   igual(campo, "Cargas_DevCantUD")) {
            if (!numericoOVacio())
                falla("Debe ingresar una cantidad!!!", false);
            else
                CalculaDevolucion(true);
        } else if (igual(campo, "Cargas_CarCant") || igual(campo, "Cargas_ReCarCant") ||
                   igual(campo, "Cargas_DevCant")) {
            if (!numericoOVacio())
                falla("Debe ingresar una cantidad!!!", false);
            else
                CalculaDevolucion(false);
        } else if (igual(campo, "Reparto")) {
            if (V.isEmpty() || !Utilidades::EsNumerico(V)) {
                falla("Debe ingresar un valor numérico!!!", true);
            } else {
                ado::Recordset rs;
                const bool existe =
                    app_.db.ExisteEnTabla(QStringLiteral("V_MV_REPARTO"), V,
                                          QStringLiteral("IDREPARTO"), &rs, 8, QString(), true);
                if (existe) {
                    const QString finalizado =
                        Utilidades::SinNulo(rs.Fields(QStringLiteral("FINALIZADO")).Value())
                            .toString();
                    app_.db.CierraRecordset(rs);
                    if (!finalizado.isEmpty() || !Grabando_) {
                        Existe_ = true;
                        DetalleOn(true);
                        MuestraReparto();
                    }
                } else if (!Grabando_) {
                    Existe_ = false;
                    Inicializa();
                    DetalleOn(true);
                }
            }
        } else if (igual(campo, "Fecha")) {
            if (Grabando_ && !fechaValida(V))
                falla("Debe ingresar un formato de fecha válido!!!", true);
        } else if (campo.size() == 8 &&
                   campo.startsWith(QLatin1String("CUENTAG"), Qt::CaseInsensitive) &&
                   campo.at(7) >= u'1' && campo.at(7) <= u'4') {
            if (!V.isEmpty()) {
                QLabel* etiqueta = Etiqueta(QStringLiteral("lblCuentaG") + campo.at(7));
                if (app_.db.ExisteEnTabla(
                        QStringLiteral("MA_CUENTAS"), V, QStringLiteral("CODIGO"), &rsDetalle, 8,
                        QStringLiteral("CODIGO = '") + plataforma::DuplicaComillas(V) +
                            QStringLiteral("' AND TITULO = 0 AND MEDIODEPAGO IS NULL"),
                        true)) {
                    etiqueta->setText(
                        Utilidades::SinNulo(rsDetalle.Fields(QStringLiteral("Descripcion")).Value())
                            .toString());
                } else {
                    etiqueta->setText(QStringLiteral("..."));
                    falla(
                        "Debe ingresar una cuenta que no sea cuenta título y que sea de gastos!!!",
                        true);
                }
                app_.db.CierraRecordset(rsDetalle);
            }
        } else if (igual(campo, "CUENTAMP")) {
            if (!V.isEmpty()) {
                if (app_.db.ExisteEnTabla(
                        QStringLiteral("MA_CUENTAS"), V, QStringLiteral("CODIGO"), &rsDetalle, 8,
                        QStringLiteral("CODIGO = '") + plataforma::DuplicaComillas(V) +
                            QStringLiteral("' AND TITULO = 0 AND NOT MEDIODEPAGO IS NULL"),
                        true)) {
                    ui_->lblCuentaPag->setText(
                        Utilidades::SinNulo(rsDetalle.Fields(QStringLiteral("Descripcion")).Value())
                            .toString());
                    const auto gasto = [&](const char* c) {
                        return Utilidades::ANumero(textoCampo(QString::fromLatin1(c)));
                    };
                    ponCampo(QStringLiteral("GastoMP"),
                             hoja::TextoNumero(gasto("Gasto1") + gasto("Gasto2") + gasto("Gasto3") +
                                               gasto("Gasto4")));
                } else {
                    ui_->lblCuentaPag->setText(QStringLiteral("..."));
                    falla("Debe ingresar una cuenta que no sea cuenta título y que sea de medios "
                          "de pago!!!",
                          true);
                }
                app_.db.CierraRecordset(rsDetalle);
            }
        }
        if (!detiene)
            CalculaTotalesResumen();
    } catch (const std::exception&) {
        // A failure ends the check through its message step, even an empty one.
        muestraMensajePendiente();
        return;
    }
    if (HayError_)
        muestraMensajePendiente();
}

QString FrmHojaRuta::ObtieneTipoRegCont() {
    return app_.cfg.Cfg(QStringLiteral("TIPOREGFACTURACION"));
}
