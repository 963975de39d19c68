#include "app/gui/Apariencia.h"

#include "app/Aplicacion.h"
#include "platform/gui/Barvex1.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

QPalette paletaDe(Piel::Paleta paleta, const QStyle& estilo) {
    struct Colores {
        const char* ventana;
        const char* boton;
        const char* resalte;
        const char* textoResaltado;
    };
    Colores c{};
    switch (paleta) {
    case Piel::Paleta::Sistema:
        return estilo.standardPalette();
    case Piel::Paleta::Clasica:
        c = {"#d4d0c8", "#d4d0c8", "#0a246a", "#ffffff"};
        break;
    case Piel::Paleta::Azul:
        c = {"#c9daf2", "#b9cfee", "#316ac5", "#ffffff"};
        break;
    case Piel::Paleta::Gris:
        c = {"#d6d6d6", "#c8c8c8", "#7d8a99", "#ffffff"};
        break;
    case Piel::Paleta::CelestePalido:
        c = {"#dde8f5", "#e4edf8", "#a9c8ec", "#000000"};
        break;
    }
    QPalette p = estilo.standardPalette();
    p.setColor(QPalette::Window, QColor(QLatin1String(c.ventana)));
    p.setColor(QPalette::Button, QColor(QLatin1String(c.boton)));
    p.setColor(QPalette::Highlight, QColor(QLatin1String(c.resalte)));
    p.setColor(QPalette::HighlightedText, QColor(QLatin1String(c.textoResaltado)));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Text, Qt::black);
    return p;
}

} // namespace

Piel CargaEstilo(Aplicacion& app, QApplication& qapp) {
    Piel piel = apariencia::PielDe(1);
    try {
        piel = apariencia::PielDe(apariencia::NumeroDePiel(app.nombreUsuario));
        if (QStyle* estilo = QStyleFactory::create(piel.estiloQt)) {
            qapp.setStyle(estilo); // the application takes it
            qapp.setPalette(paletaDe(piel.paleta, *estilo));
        }
        QFile hoja(apariencia::HojaDeEstilo(Utilidades::RutaConBarra(app.carpetaEjecutable), piel));
        if (hoja.open(QIODevice::ReadOnly))
            qapp.setStyleSheet(QString::fromUtf8(hoja.readAll()));
    } catch (...) {
        // The look is a comfort; the sheet works without it.
    }
    return piel;
}

QIcon IconoPrograma() {
    return QIcon(QStringLiteral(":/iconos/hojaruta.png"));
}

void AsignaIcono(QWidget* ventana, int gFlatToolbars) {
    if (!ventana)
        return;
    ventana->setWindowIcon(IconoPrograma());
    if (ventana->windowIcon().isNull() && QFile::exists(QStringLiteral("vexmar.ico")))
        ventana->setWindowIcon(QIcon(QStringLiteral("vexmar.ico")));
    const QString tipo = QString::fromLatin1(ventana->metaObject()->className());
    if (tipo.compare(QLatin1String("FRMMDI"), Qt::CaseInsensitive) != 0)
        for (const char* nombre : {"Barvex1", "TBarRep1", "Util0011"})
            if (auto* barra = ventana->findChild<Barvex1*>(QLatin1String(nombre)))
                barra->setStyleBar(gFlatToolbars);
    QCoreApplication::processEvents();
}
