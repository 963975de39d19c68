#pragma once
// A fresh embedded database per test, in a temporary folder, opened through the
// same connection string form the program uses for the embedded file.

#include "Fallas.h"
#include "platform/ado/Ado.h"
#include "platform/ado/sqlite/BaseEmbebida.h"

#include <QTemporaryDir>
#include <QTest>

// A small schema with each kind of column and constraint the layer must police.
inline const char* const kEsquemaPrueba = R"SQL(
CREATE TABLE ZONAS (
    Zona   NVARCHAR(4) COLLATE NOCASE PRIMARY KEY,
    Nombre NVARCHAR(30) COLLATE NOCASE
);
CREATE TABLE CLIENTES (
    Id       INTEGER PRIMARY KEY AUTOINCREMENT,
    Codigo   NVARCHAR(6) COLLATE NOCASE NOT NULL UNIQUE,
    Nombre   NVARCHAR(20) COLLATE NOCASE,
    Saldo    MONEY,
    Cantidad NUMERIC(18,4),
    Visitas  INT,
    Alta     DATETIME,
    Zona     NVARCHAR(4) COLLATE NOCASE REFERENCES ZONAS (Zona)
);
CREATE TABLE NOTAS (
    Texto  NVARCHAR(30) COLLATE NOCASE,
    Numero INT
);
CREATE TABLE TA_CONFIGURACION (
    Clave NVARCHAR(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Valor NVARCHAR(100) COLLATE NOCASE
);
CREATE TABLE "MV ASIENTOS" (
    "NUMERO ASIENTO" INT NOT NULL,
    Importe          MONEY
);
CREATE VIEW V_CLIENTES AS SELECT Id, Codigo, Nombre, Saldo, Alta FROM CLIENTES;
CREATE TRIGGER V_CLIENTES_borra INSTEAD OF DELETE ON V_CLIENTES
BEGIN DELETE FROM CLIENTES WHERE Id = OLD.Id; END;
INSERT INTO ZONAS VALUES ('   1', 'Centro'), ('   2', 'Norte');
)SQL";

class BaseDePrueba {
public:
    explicit BaseDePrueba(const QString& esquema = QString::fromUtf8(kEsquemaPrueba),
                          const QString& datos = {}) {
        ruta = dir.filePath(QStringLiteral("prueba.db"));
        ado::sqlite::CreaBaseEmbebida(ruta, esquema, datos);
    }
    QString cadena() const {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=;Pwd=;").arg(ruta);
    }
    // An open connection on the file; a second one sees the same data.
    std::unique_ptr<ado::Connection> conecta() const {
        auto cn = std::make_unique<ado::Connection>();
        cn->Open(cadena());
        return cn;
    }

    QTemporaryDir dir;
    QString ruta;
};
