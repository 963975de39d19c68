#include "platform/gui/DialogoQt.h"

#include "platform/Utilidades.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace plataforma;

namespace {

struct Boton {
    QMessageBox::StandardButton qt;
    const char* texto; // the underlined letter answers from the keyboard
    Respuesta respuesta;
};

constexpr Boton kAceptar{QMessageBox::Ok, "&Aceptar", Respuesta::OK};
constexpr Boton kCancelar{QMessageBox::Cancel, "&Cancelar", Respuesta::Cancel};
constexpr Boton kAnular{QMessageBox::Abort, "&Anular", Respuesta::Abort};
constexpr Boton kReintentar{QMessageBox::Retry, "&Reintentar", Respuesta::Retry};
constexpr Boton kOmitir{QMessageBox::Ignore, "&Omitir", Respuesta::Ignore};
constexpr Boton kSi{QMessageBox::Yes, "&S\u00ed", Respuesta::Yes};
constexpr Boton kNo{QMessageBox::No, "&No", Respuesta::No};

QList<Boton> botonesDe(Botones botones) {
    switch (botones) {
    case Botones::OKCancel:
        return {kAceptar, kCancelar};
    case Botones::AbortRetryIgnore:
        return {kAnular, kReintentar, kOmitir};
    case Botones::YesNoCancel:
        return {kSi, kNo, kCancelar};
    case Botones::YesNo:
        return {kSi, kNo};
    case Botones::RetryCancel:
        return {kReintentar, kCancelar};
    case Botones::OKOnly:
        break;
    }
    return {kAceptar};
}

QMessageBox::Icon iconoDe(Icono icono) {
    switch (icono) {
    case Icono::Critical:
        return QMessageBox::Critical;
    case Icono::Question:
        return QMessageBox::Question;
    case Icono::Exclamation:
        return QMessageBox::Warning;
    case Icono::Information:
        return QMessageBox::Information;
    case Icono::Ninguno:
        break;
    }
    return QMessageBox::NoIcon;
}

QString tituloO(const QString& titulo) {
    return titulo.isEmpty() ? QCoreApplication::applicationName() : titulo;
}

} // namespace

QWidget* DialogoQt::padre() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

Respuesta DialogoQt::MsgBox(const QString& texto, Estilo estilo, const QString& titulo) {
    return muestra(texto, estilo, titulo, nullptr);
}

Respuesta DialogoQt::MsgBoxConTabla(const QString& texto, const Tabla& tabla, Estilo estilo,
                                    const QString& titulo) {
    return muestra(texto, estilo, titulo, &tabla);
}

Respuesta DialogoQt::muestra(const QString& texto, Estilo estilo, const QString& titulo,
                             const Tabla* tabla) {
    QMessageBox caja(padre());
    caja.setWindowTitle(tituloO(titulo));
    caja.setTextFormat(Qt::PlainText); // a "<" in an error text is not markup
    caja.setText(QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    caja.setIcon(iconoDe(estilo.icono));

    const QList<Boton> botones = botonesDe(estilo.botones);
    QList<QPushButton*> agregados;
    for (const Boton& b : botones) {
        QPushButton* boton = caja.addButton(b.qt);
        boton->setText(QString::fromUtf8(b.texto));
        agregados.append(boton);
    }
    // Default button 2 or 3 when the set has one, the first otherwise.
    qsizetype porDefecto = estilo.porDefecto - 1;
    if (porDefecto < 0 || porDefecto >= agregados.size())
        porDefecto = 0;
    caja.setDefaultButton(agregados[porDefecto]);

    // Esc takes the answer that does nothing: Cancel, else No, else Abort; a box with
    // a single OK button closes with it.
    qsizetype escape = 0;
    for (Respuesta preferida : {Respuesta::Cancel, Respuesta::No, Respuesta::Abort}) {
        const auto i = std::find_if(botones.begin(), botones.end(),
                                    [&](const Boton& b) { return b.respuesta == preferida; });
        if (i != botones.end()) {
            escape = i - botones.begin();
            break;
        }
    }
    caja.setEscapeButton(agregados[escape]);

    if (tabla && tabla->modelo) {
        // Between the text and the buttons, once the box has laid itself out: it
        // lays itself out again only when its text parts change.
        auto* capa = qobject_cast<QGridLayout*>(caja.layout());
        auto* botonera = caja.findChild<QDialogButtonBox*>();
        if (capa && botonera) {
            auto* leyenda = new QLabel(tabla->leyenda, &caja);
            leyenda->setTextFormat(Qt::PlainText);
            auto* vista = new QTableView(&caja);
            vista->setObjectName(QStringLiteral("tablaCaja"));
            // Only shown: the view never writes, whatever the model allows.
            vista->setModel(const_cast<QAbstractItemModel*>(tabla->modelo));
            vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
            vista->setSelectionMode(QAbstractItemView::NoSelection);
            vista->setFocusPolicy(Qt::NoFocus); // Enter and Esc stay the box's
            vista->verticalHeader()->hide();
            vista->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
            vista->horizontalHeader()->setStretchLastSection(true);
            vista->setAccessibleName(tabla->leyenda);
            // Rows as tall as a line of text, and the whole table in sight up to
            // about twenty of them: what the operator commits to is read, not scrolled.
            const int fila0 = vista->fontMetrics().height() + 6;
            vista->verticalHeader()->setDefaultSectionSize(fila0);
            const int alto = vista->horizontalHeader()->sizeHint().height() +
                             tabla->modelo->rowCount() * fila0 + 2 * vista->frameWidth() + 2;
            vista->setMinimumSize(420, std::min(alto, 22 * fila0));
            const int columnas = capa->columnCount();
            const int fila = capa->rowCount();
            capa->removeWidget(botonera);
            capa->addWidget(leyenda, fila - 1, 0, 1, columnas);
            capa->addWidget(vista, fila, 0, 1, columnas);
            capa->addWidget(botonera, fila + 1, 0, 1, columnas);
        }
    }

    caja.exec();
    const qsizetype elegido = agregados.indexOf(caja.clickedButton());
    return botones[elegido >= 0 ? elegido : escape].respuesta;
}

std::optional<QString> DialogoQt::InputBox(const QString& pregunta, const QString& titulo,
                                           const QString& inicial) {
    QInputDialog dialogo(padre());
    dialogo.setWindowTitle(tituloO(titulo));
    dialogo.setInputMode(QInputDialog::TextInput);
    dialogo.setLabelText(pregunta);
    dialogo.setTextValue(inicial);
    dialogo.setOkButtonText(QStringLiteral("&Aceptar"));
    dialogo.setCancelButtonText(QStringLiteral("&Cancelar"));
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialogo.textValue();
}

std::optional<QString> DialogoQt::EligeArchivo(const QString& titulo, const QString& filtro) {
    const QString archivo =
        QFileDialog::getOpenFileName(padre(), tituloO(titulo), QString(), FiltroQt(filtro));
    if (archivo.isEmpty())
        return std::nullopt;
    return archivo;
}

std::optional<QString> DialogoQt::EligeArchivoGuardar(const QString& titulo, const QString& filtro,
                                                      const QString& nombre) {
    QFileDialog dialogo(padre(), tituloO(titulo));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    const QStringList filtros = FiltroQt(filtro).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialogo.setNameFilters(filtros);
    dialogo.selectFile(QFileInfo(nombre).isRelative() ? QDir::home().filePath(nombre) : nombre);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    QString archivo = dialogo.selectedFiles().constFirst();
    // The format is chosen with the filter: a name typed without one of the
    // filters' extensions takes the chosen filter's, which is what the clerk saw.
    static const QRegularExpression extension(QStringLiteral("\\*(\\.[^\\s;()*]+)"));
    QStringList conocidas;
    for (const QString& f : filtros)
        for (auto m = extension.globalMatch(f); m.hasNext();)
            conocidas << m.next().captured(1);
    const bool conExtension =
        std::any_of(conocidas.cbegin(), conocidas.cend(),
                    [&](const QString& e) { return archivo.endsWith(e, Qt::CaseInsensitive); });
    if (!conExtension) {
        const auto m = extension.match(dialogo.selectedNameFilter());
        if (m.hasMatch())
            archivo += m.captured(1);
    }
    return archivo;
}

std::optional<QDate> DialogoQt::EligeFecha(const QDate& inicial) {
    QDialog dialogo(padre());
    dialogo.setWindowTitle(QStringLiteral("Elija una fecha"));
    auto* calendario = new QCalendarWidget(&dialogo);
    calendario->setLocale(Utilidades::LocaleOperador());
    calendario->setGridVisible(true);
    calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendario->setSelectedDate(inicial.isValid() ? inicial : QDate::currentDate());
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialogo);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
    auto* capas = new QVBoxLayout(&dialogo);
    capas->addWidget(calendario);
    capas->addWidget(botones);
    // The calendar keeps Enter for itself and reports it as an activation: that is
    // the operator's choice. Esc reaches the dialog and cancels.
    QObject::connect(calendario, &QCalendarWidget::activated, &dialogo, &QDialog::accept);
    QObject::connect(botones, &QDialogButtonBox::accepted, &dialogo, &QDialog::accept);
    QObject::connect(botones, &QDialogButtonBox::rejected, &dialogo, &QDialog::reject);
    calendario->setFocus();
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    return calendario->selectedDate();
}

QString DialogoQt::FiltroQt(const QString& filtroSuite) {
    if (filtroSuite.trimmed().isEmpty())
        return {};
    // "Reportes (*.rpt)|*.rpt" already names its patterns; they are given once.
    static const QRegularExpression patronesEscritos(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList partes = filtroSuite.split(u'|');
    QStringList filtros;
    for (qsizetype i = 0; i < partes.size(); i += 2) {
        if (i + 1 >= partes.size()) { // a pattern without description
            const QString solo = partes[i].trimmed();
            if (!solo.isEmpty())
                filtros.append(solo.split(u';', Qt::SkipEmptyParts).join(u' '));
            break;
        }
        QStringList patrones = partes[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patrones)
            p = p.trimmed();
        patrones.removeAll(QString());
        const QString listaPatrones =
            patrones.isEmpty() ? QStringLiteral("*") : patrones.join(u' ');
        QString descripcion = partes[i].trimmed().remove(patronesEscritos);
        if (descripcion.isEmpty())
            descripcion = listaPatrones;
        filtros.append(descripcion + QStringLiteral(" (") + listaPatrones + u')');
    }
    return filtros.join(QStringLiteral(";;"));
}
