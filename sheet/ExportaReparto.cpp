#include "sheet/ExportaReparto.h"

#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"
#include "platform/ado/Valores.h"
#include "sheet/Reparto.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <xlsxwriter.h>

#include <array>

namespace exporta {

namespace {

using Tipo = Celda::Tipo;

// A text the sheet shows as a number is exported as one; anything else as it reads.
Celda celdaDe(const QString& texto, Tipo tipo) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return {};
    // Beyond what money holds, it is left as the clerk wrote it.
    if (const auto n = Utilidades::NumeroEn(t))
        return Celda::DeNumero(tipo, *n);
    return Celda::DeTexto(t);
}

Celda fechaDe(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return {};
    if (const auto f = ado::InterpretaFecha(t))
        return Celda::DeFecha(f->date());
    return Celda::DeTexto(t);
}

Fila titulos(std::initializer_list<const char*> textos) {
    Fila f;
    f.titulo = true;
    for (const char* t : textos)
        f.celdas << Celda::DeTexto(QString::fromUtf8(t));
    return f;
}

Fila par(const char* titulo, const Celda& valor) {
    return {{Celda::DeTexto(QString::fromUtf8(titulo)), valor}};
}

// The grid's quantity columns, in the sheet's order.
constexpr std::array<int, 8> kCantidades = {col::CargaUd,   col::CargaKg, col::RecargaUd,
                                            col::RecargaKg, col::DevUd,   col::DevKg,
                                            col::VtaUd,     col::VtaKg};

QString textoCsv(const Celda& c) {
    switch (c.tipo) {
    case Tipo::Vacia:
        return {};
    case Tipo::Cantidad:
    case Tipo::Importe:
        // A Spanish-locale spreadsheet reads a comma as the decimal sign and takes a
        // point as grouping; no grouping is written, so nothing is ambiguous.
        return c.numero.texto().replace(u'.', u',');
    case Tipo::Fecha:
        return c.fecha.toString(QStringLiteral("dd/MM/yyyy"));
    case Tipo::Texto:
        break;
    }
    QString t = c.texto;
    // A text a spreadsheet would run as a formula ("=HYPERLINK(...)" typed in the
    // observations) is written as text: the apostrophe is the spreadsheet's own mark.
    static const QString kFormula = QStringLiteral("=+-@\t\r");
    if (!t.isEmpty() && kFormula.contains(t.front()))
        t.prepend(u'\'');
    const bool comillas = t.contains(u';') || t.contains(u'"') || t.contains(u'\n') ||
                          t.contains(u'\r') || t.trimmed() != t;
    if (!comillas)
        return t;
    return u'"' + t.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QString escribeXlsx(const QList<Fila>& filas, const QString& hoja, const QString& ruta) {
    const QByteArray archivo = QFile::encodeName(ruta);
    lxw_workbook* libro = workbook_new(archivo.constData());
    if (!libro)
        return QStringLiteral("no se pudo crear el libro");
    const QByteArray nombreHoja = hoja.toUtf8();
    lxw_worksheet* planilla = workbook_add_worksheet(libro, nombreHoja.constData());
    lxw_format* negrita = workbook_add_format(libro);
    format_set_bold(negrita);
    lxw_format* importe = workbook_add_format(libro);
    format_set_num_format(importe, "#,##0.00");
    lxw_format* fecha = workbook_add_format(libro);
    format_set_num_format(fecha, "dd/mm/yyyy");
    worksheet_set_column(planilla, 0, 0, 22, nullptr);
    worksheet_set_column(planilla, 1, 1, 34, nullptr);
    worksheet_set_column(planilla, 2, 11, 13, nullptr);

    for (int r = 0; r < filas.size(); ++r) {
        const Fila& fila = filas[r];
        for (int c = 0; c < fila.celdas.size(); ++c) {
            const Celda& celda = fila.celdas[c];
            const auto R = static_cast<lxw_row_t>(r);
            const auto C = static_cast<lxw_col_t>(c);
            switch (celda.tipo) {
            case Tipo::Vacia:
                break;
            case Tipo::Texto:
                worksheet_write_string(planilla, R, C, celda.texto.toUtf8().constData(),
                                       fila.titulo ? negrita : nullptr);
                break;
            case Tipo::Cantidad:
                worksheet_write_number(planilla, R, C, celda.numero.aDouble(),
                                       fila.titulo ? negrita : nullptr);
                break;
            case Tipo::Importe:
                worksheet_write_number(planilla, R, C, celda.numero.aDouble(), importe);
                break;
            case Tipo::Fecha: {
                lxw_datetime d{celda.fecha.year(), celda.fecha.month(), celda.fecha.day(), 0, 0, 0};
                worksheet_write_datetime(planilla, R, C, &d, fecha);
                break;
            }
            }
        }
    }
    const lxw_error error = workbook_close(libro);
    if (error != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(error));
    return {};
}

} // namespace

QList<Fila> Filas(const Reparto& r) {
    const auto campo = [&r](const char* nombre) { return r.Campo(QString::fromLatin1(nombre)); };
    QList<Fila> filas;
    const QString numero = r.NumeroTexto().isEmpty() ? campo("Reparto") : r.NumeroTexto();
    filas << par("N° de Reparto", celdaDe(numero, Tipo::Cantidad))
          << par("Fecha", fechaDe(campo("Fecha")))
          << par("Clase de Precio", celdaDe(campo("Clase"), Tipo::Cantidad))
          << par("Vehículo", Celda::DeTexto(campo("Vehiculo").trimmed()))
          << par("Chofer", Celda::DeTexto(campo("Chofer").trimmed()))
          << par("Km Inicio", celdaDe(campo("KmInicial"), Tipo::Cantidad))
          << par("Km Fin", celdaDe(campo("KmFinal"), Tipo::Cantidad))
          << par("Observaciones", Celda::DeTexto(campo("Observaciones").trimmed()));
    if (!r.Finalizado.trimmed().isEmpty())
        filas << par("Finalizado", fechaDe(r.Finalizado));

    // The lines, under the sheet's own captions, and what each column adds up to.
    filas << Fila{}
          << titulos({"", "", "Carga", "", "Recarga", "", "Dev. y Sobrantes", "", "Vta. Total", "",
                      "", ""})
          << titulos({"Código", "Producto", "Uds.", "Kgs.", "Uds.", "Kgs.", "Uds.", "Kgs.", "Uds.",
                      "Kgs.", "Precio", "Importe"});
    const ModeloGrilla& g = r.Lineas();
    std::array<Currency, kCantidades.size()> sumas{};
    Currency sumaImporte;
    for (int f = 0; f < g.filas(); ++f) {
        Fila fila;
        fila.celdas << Celda::DeTexto(g.texto(f, col::Id).trimmed())
                    << Celda::DeTexto(g.texto(f, col::Producto).trimmed());
        for (size_t i = 0; i < kCantidades.size(); ++i) {
            const Celda c = celdaDe(g.texto(f, kCantidades[i]), Tipo::Cantidad);
            if (c.tipo == Tipo::Cantidad)
                sumas[i] += c.numero;
            fila.celdas << c;
        }
        const Celda importe = celdaDe(g.texto(f, col::Importe), Tipo::Importe);
        if (importe.tipo == Tipo::Importe)
            sumaImporte += importe.numero;
        fila.celdas << celdaDe(g.texto(f, col::Precio), Tipo::Importe) << importe;
        filas << fila;
    }
    Fila totales = titulos({"Totales", ""});
    for (const Currency& s : sumas)
        totales.celdas << Celda::DeNumero(Tipo::Cantidad, s);
    totales.celdas << Celda() << Celda::DeNumero(Tipo::Importe, sumaImporte);
    filas << totales;

    const TotalesReparto t = r.Totales();
    filas << Fila{} << titulos({"Resumen"})
          << par("Valor Carga/Recarga", Celda::DeNumero(Tipo::Importe, t.aRecaudar))
          << par("Importe Recaudado", celdaDe(campo("ImpRecaudado"), Tipo::Importe))
          << par("Total Gastos", Celda::DeNumero(Tipo::Importe, t.gastos))
          << par("Total Final", Celda::DeNumero(Tipo::Importe, t.total));

    // Only the expenses the clerk filled in; the means of payment always.
    filas << Fila{} << titulos({"Gastos", "Cuenta", "Descripción", "Importe"});
    static const char* const kGastos[4][2] = {{"CuentaG1", "Gasto1"},
                                              {"CuentaG2", "Gasto2"},
                                              {"CuentaG3", "Gasto3"},
                                              {"CuentaG4", "Gasto4"}};
    for (int i = 0; i < 4; ++i) {
        const QString cuenta = campo(kGastos[i][0]).trimmed();
        const Celda importe = celdaDe(campo(kGastos[i][1]), Tipo::Importe);
        if (cuenta.isEmpty() && importe.tipo == Tipo::Vacia)
            continue;
        filas << Fila{{Celda::DeTexto(QStringLiteral("Gasto %1").arg(i + 1)),
                       Celda::DeTexto(cuenta), Celda::DeTexto(r.CuentaEtiqueta[i].trimmed()),
                       importe}};
    }
    filas << Fila{{Celda::DeTexto(QStringLiteral("Medio de Pago")),
                   Celda::DeTexto(campo("CuentaMP").trimmed()),
                   Celda::DeTexto(r.CuentaEtiqueta[4].trimmed()),
                   celdaDe(campo("GastoMP"), Tipo::Importe)}};
    // Empty texts are empty cells, not cells holding nothing.
    for (Fila& f : filas)
        for (Celda& c : f.celdas)
            if (c.tipo == Tipo::Texto && c.texto.isEmpty())
                c = {};
    return filas;
}

Formato FormatoDe(const QString& ruta) {
    return ruta.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? Formato::Csv
                                                                      : Formato::Xlsx;
}

QString Filtro() {
    return QStringLiteral("Libro de Excel (*.xlsx)|*.xlsx|"
                          "Texto separado por punto y coma (*.csv)|*.csv");
}

QByteArray Csv(const QList<Fila>& filas) {
    QString texto;
    for (const Fila& f : filas) {
        QStringList celdas;
        for (const Celda& c : f.celdas)
            celdas << textoCsv(c);
        texto += celdas.join(u';') + QStringLiteral("\r\n");
    }
    // The mark tells the spreadsheet the text is UTF-8: "Vehículo" reads right.
    return QByteArrayLiteral("\xEF\xBB\xBF") + texto.toUtf8();
}

QString Escribe(const Reparto& reparto, const QString& ruta) {
    const QList<Fila> filas = Filas(reparto);
    const QString nombre = QFileInfo(ruta).fileName();
    if (FormatoDe(ruta) == Formato::Csv) {
        QSaveFile archivo(ruta);
        if (!archivo.open(QIODevice::WriteOnly) || archivo.write(Csv(filas)) < 0 ||
            !archivo.commit())
            return QStringLiteral("No se pudo escribir el archivo %1: %2.")
                .arg(nombre, archivo.errorString());
        return {};
    }
    // The workbook is written beside the file and put in its place only when
    // whole, so a failure never leaves half a workbook where the old one was.
    const QString parcial = ruta + QStringLiteral(".parcial");
    const QString numero = filas.first().celdas.value(1).tipo == Tipo::Cantidad
                               ? filas.first().celdas[1].numero.texto()
                               : QString();
    QString error = escribeXlsx(
        filas, numero.isEmpty() ? QStringLiteral("Reparto") : QStringLiteral("Reparto ") + numero,
        parcial);
    if (error.isEmpty() && QFile::exists(ruta) && !QFile::remove(ruta))
        error = QStringLiteral("no se pudo reemplazar el archivo anterior");
    if (error.isEmpty() && !QFile::rename(parcial, ruta))
        error = QStringLiteral("no se pudo poner el archivo en su lugar");
    if (error.isEmpty())
        return {};
    QFile::remove(parcial);
    return QStringLiteral("No se pudo escribir el archivo %1: %2.").arg(nombre, error);
}

} // namespace exporta
