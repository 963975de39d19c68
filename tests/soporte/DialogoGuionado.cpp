#include "DialogoGuionado.h"

#include <QAbstractItemModel>
#include <QTest>

DialogoGuionado::~DialogoGuionado() {
    if (!respuestas_.isEmpty())
        QTest::qFail(
            qPrintable(
                QStringLiteral("%1 queued answer(s) were never used").arg(respuestas_.size())),
            __FILE__, __LINE__);
}

DialogoGuionado& DialogoGuionado::responde(plataforma::Respuesta respuesta) {
    return responde(QVariant::fromValue(respuesta));
}

DialogoGuionado& DialogoGuionado::responde(const QVariant& respuesta) {
    respuestas_.append(respuesta);
    return *this;
}

QVariant DialogoGuionado::siguiente(const CajaMostrada& caja) {
    mostradas_.append(caja);
    if (alMostrar)
        alMostrar(caja);
    if (respuestas_.isEmpty() && porDefecto_.isValid())
        return porDefecto_;
    if (respuestas_.isEmpty()) {
        QTest::qFail(
            qPrintable(
                QStringLiteral("unexpected %1 \"%2\": %3").arg(caja.tipo, caja.titulo, caja.texto)),
            __FILE__, __LINE__);
        return {};
    }
    return respuestas_.takeFirst();
}

plataforma::Respuesta DialogoGuionado::MsgBox(const QString& texto, plataforma::Estilo estilo,
                                              const QString& titulo) {
    return respuestaDe(
        siguiente({QStringLiteral("MsgBox"), texto, titulo, estilo.codigo(), {}, {}}), titulo);
}

plataforma::Respuesta DialogoGuionado::MsgBoxConTabla(const QString& texto,
                                                      const plataforma::Tabla& tabla,
                                                      plataforma::Estilo estilo,
                                                      const QString& titulo) {
    CajaMostrada caja{QStringLiteral("MsgBox"), texto, titulo, estilo.codigo(), {}, {}};
    caja.leyenda = tabla.leyenda;
    if (const QAbstractItemModel* m = tabla.modelo) {
        QStringList celdas;
        for (int c = 0; c < m->columnCount(); ++c)
            celdas << m->headerData(c, Qt::Horizontal).toString();
        caja.tabla << celdas.join(u'|');
        for (int f = 0; f < m->rowCount(); ++f) {
            celdas.clear();
            for (int c = 0; c < m->columnCount(); ++c)
                celdas << m->index(f, c).data().toString();
            caja.tabla << celdas.join(u'|');
        }
    }
    return respuestaDe(siguiente(caja), titulo);
}

plataforma::Respuesta DialogoGuionado::respuestaDe(const QVariant& r, const QString& titulo) {
    if (!r.isValid()) // the unexpected box already failed the test
        return plataforma::Respuesta::Cancel;
    if (r.metaType() != QMetaType::fromType<plataforma::Respuesta>()) {
        QTest::qFail(qPrintable(QStringLiteral("message box \"%1\" answered with a %2")
                                    .arg(titulo, QString::fromLatin1(r.typeName()))),
                     __FILE__, __LINE__);
        return plataforma::Respuesta::Cancel;
    }
    return r.value<plataforma::Respuesta>();
}

std::optional<QString> DialogoGuionado::InputBox(const QString& pregunta, const QString& titulo,
                                                 const QString&) {
    const QVariant r = siguiente({QStringLiteral("InputBox"), pregunta, titulo, 0, {}, {}});
    if (!r.isValid())
        return std::nullopt;
    return r.toString();
}

std::optional<QString> DialogoGuionado::EligeArchivo(const QString& titulo, const QString& filtro) {
    const QVariant r = siguiente({QStringLiteral("EligeArchivo"), filtro, titulo, 0, {}, {}});
    if (!r.isValid())
        return std::nullopt;
    return r.toString();
}

std::optional<QString> DialogoGuionado::EligeArchivoGuardar(const QString& titulo, const QString&,
                                                            const QString& nombre) {
    const QVariant r =
        siguiente({QStringLiteral("EligeArchivoGuardar"), nombre, titulo, 0, {}, {}});
    if (!r.isValid())
        return std::nullopt;
    return r.toString();
}

std::optional<QDate> DialogoGuionado::EligeFecha(const QDate& inicial) {
    const QVariant r = siguiente(
        {QStringLiteral("EligeFecha"), inicial.toString(Qt::ISODate), QString(), 0, {}, {}});
    if (!r.isValid())
        return std::nullopt;
    return r.toDate();
}
