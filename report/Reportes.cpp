#include "report/Reportes.h"

#include "report/Definicion.h"
#include "report/Error.h"
#include "report/Motor.h"

#include <algorithm>

namespace reporte {

const QString Reportes::kSinImpresora =
    QStringLiteral("No hay una impresora predeterminada: se muestra la vista previa del reporte.");

Reportes::Reportes(Conector conector, const Formateador& formato, Salida& salida,
                   plataforma::DialogoOperador& dialogo, std::function<QDateTime()> reloj)
    : conector_(std::move(conector)), formato_(formato), salida_(salida), dialogo_(dialogo),
      reloj_(std::move(reloj)) {}

void Reportes::Imprime(const QString& Archivo, const QStringList& Copias, const QString& Formula,
                       const QString& Conexion, QString& Parametro, QString& Parametro2) {
    QStringList parametros;
    for (const QString* p : {&Parametro, &Parametro2})
        if (!p->trimmed().isEmpty())
            parametros << *p;
    Imprime(Archivo, Copias, Formula, Conexion, parametros);
}

void Reportes::Imprime(const QString& Archivo, const QStringList& Copias, const QString& Formula,
                       const QString& Conexion, const QStringList& parametros) {
    const Definicion definicion = LeeDefinicion(Archivo);
    std::unique_ptr<FuenteDatos> datos = conector_(Conexion);
    if (!datos)
        throw Error(Error::Tipo::Conexion,
                    QStringLiteral("No hay conexión para el reporte ") + Archivo);
    Motor motor(*datos, formato_, reloj_);
    const Documento documento = motor.Genera(definicion, Formula, parametros);
    if (OpcionImpresion1) {
        if (salida_.ImprimeDirecto(documento, std::max(1, static_cast<int>(Copias.size()))))
            return;
        dialogo_.MsgBox(
            kSinImpresora,
            plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Exclamation},
            QStringLiteral("Aviso al Operador"));
    }
    salida_.VistaPrevia(documento, OpcionImpresion2, OpcionImpresion3);
}

} // namespace reporte
