-- Statistics database VX_ESTADISTICAS (VX_ESTADISTICAS.db beside the program).
-- The program reads and writes its settings through a second connection; the
-- configuration table has the same columns as the main database's.

CREATE TABLE TA_CONFIGURACION (
    Grupo           NVARCHAR(50)   COLLATE NOCASE,
    Clave           NVARCHAR(50)   COLLATE NOCASE NOT NULL,
    Valor           NVARCHAR(1000) COLLATE NOCASE,
    ValorAux        NVARCHAR(1000) COLLATE NOCASE,
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     NVARCHAR(255)  COLLATE NOCASE,
    PRIMARY KEY (Clave)
);

-- Command time-out of the main connection, in seconds (0 or absent: 360).
INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor, ValorAux, PoliticaNegocio, Descripcion)
VALUES ('BaseDeDatos', 'TIMEOUT', '30', NULL, 0, 'Tiempo de espera de los comandos, en segundos');
