-- Schema of the embedded (SQLite) copy of the suite database used by hojaruta.
--
-- Conventions, so that the file behaves like the SQL Server database it mirrors:
--  * every text column is COLLATE NOCASE: SQL Server compares text without regard
--    to letter case, and NOCASE is built in, so the stock sqlite3 tool can still
--    open the file;
--  * codes are stored as the suite stores them, right-aligned and padded with
--    blanks to the column width (articles 25, rubros, business units, currencies,
--    deposits and cash registers 4); hierarchical codes (accounts, families, cost
--    centres, positions) are plain, because their lookups nest them by prefix;
--  * declared types are SQL Server's: the database layer reads them back to know
--    each field's type and size and to generate its own length, number and date
--    checks, so no CHECK constraint is written here;
--  * dates are ISO text;
--  * views that the program writes through are plain single-table views with
--    INSTEAD OF triggers, so that INSERT, UPDATE and DELETE on the view work as
--    they do on SQL Server.

-- ---------------------------------------------------------------------------
-- Configuration, users, menu and usage log
-- ---------------------------------------------------------------------------

-- One row per setting. Keys are stored upper-cased and trimmed.
CREATE TABLE TA_CONFIGURACION (
    Grupo           NVARCHAR(50)   COLLATE NOCASE,
    Clave           NVARCHAR(50)   COLLATE NOCASE NOT NULL,
    Valor           NVARCHAR(1000) COLLATE NOCASE,
    ValorAux        NVARCHAR(1000) COLLATE NOCASE,
    PoliticaNegocio BIT DEFAULT 0,
    Descripcion     NVARCHAR(255)  COLLATE NOCASE,
    PRIMARY KEY (Clave)
);

-- Administrador: only 1 grants administrator rights (2 is a restricted profile).
-- sucot/letot: default branch and letter of the user's vouchers.
CREATE TABLE TA_USUARIOS (
    Nombre         NVARCHAR(50)  COLLATE NOCASE NOT NULL,
    NombreCompleto NVARCHAR(100) COLLATE NOCASE,
    Administrador  SMALLINT NOT NULL DEFAULT 0,
    UNegocio       NVARCHAR(4)   COLLATE NOCASE,
    verproforma    BIT DEFAULT 0,
    sucot          NVARCHAR(4)   COLLATE NOCASE,
    letot          NVARCHAR(1)   COLLATE NOCASE,
    Email          NVARCHAR(100) COLLATE NOCASE,
    Activo         BIT DEFAULT 1,
    PRIMARY KEY (Nombre)
);

-- Menu entries of the suite; Proceso lists the programs a task runs.
CREATE TABLE TA_MENU (
    Clave   NVARCHAR(20)  COLLATE NOCASE NOT NULL,
    Nombre  NVARCHAR(100) COLLATE NOCASE,
    Proceso NVARCHAR(255) COLLATE NOCASE,
    Padre   NVARCHAR(20)  COLLATE NOCASE,
    Orden   SMALLINT,
    PRIMARY KEY (Clave)
);

-- Tasks (menu entries) granted to each user.
CREATE TABLE TA_TAREAS (
    USUARIO NVARCHAR(50) COLLATE NOCASE NOT NULL,
    TAREA   NVARCHAR(20) COLLATE NOCASE NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

-- One row per run of a program. Ingreso and EGRESO are written as text
-- "dd/mm/yy hh:mm", as the rest of the suite writes them.
CREATE TABLE Control_Acceso (
    Id            INTEGER PRIMARY KEY AUTOINCREMENT,
    Maquina       NVARCHAR(100) COLLATE NOCASE,
    Usuario       NVARCHAR(50)  COLLATE NOCASE,
    Formulario    NVARCHAR(50)  COLLATE NOCASE,
    Tarea         NVARCHAR(100) COLLATE NOCASE,
    Ingreso       NVARCHAR(20)  COLLATE NOCASE,
    EGRESO        NVARCHAR(20)  COLLATE NOCASE,
    NombreUsuario NVARCHAR(50)  COLLATE NOCASE
);

-- Statement lists that failed and were rolled back.
CREATE TABLE AUX_ERR (
    Id          INTEGER PRIMARY KEY AUTOINCREMENT,
    Proceso     NVARCHAR(50)  COLLATE NOCASE,
    Fecha       NVARCHAR(20)  COLLATE NOCASE,
    Error       INT,
    Descripcion NVARCHAR(250) COLLATE NOCASE,
    SQL         NTEXT         COLLATE NOCASE,
    pc          NVARCHAR(100) COLLATE NOCASE,
    Usuario     NVARCHAR(50)  COLLATE NOCASE
);

-- Report files by report name (or machine|user|name). Archivo is a full path
-- ending in .rpt or a base name completed with the program folder.
CREATE TABLE TA_REPORTES (
    NOMBRE      NVARCHAR(150) COLLATE NOCASE NOT NULL,
    Archivo     NVARCHAR(255) COLLATE NOCASE,
    Descripcion NVARCHAR(100) COLLATE NOCASE,
    PRIMARY KEY (NOMBRE)
);

-- ---------------------------------------------------------------------------
-- Reference tables
-- ---------------------------------------------------------------------------

CREATE TABLE TA_UNIDADNEGOCIO (
    Codigo      NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    Descripcion NVARCHAR(50) COLLATE NOCASE,
    PRIMARY KEY (Codigo)
);

CREATE TABLE TA_DEPOSITO (
    IdDeposito    NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    Descripcion   NVARCHAR(50) COLLATE NOCASE,
    UnidadNegocio NVARCHAR(4)  COLLATE NOCASE,
    PRIMARY KEY (IdDeposito)
);

-- Warehouse positions; codes nest by prefix (A, A01, A0101).
CREATE TABLE MA_POSICIONES (
    IDPOSICION  NVARCHAR(10) COLLATE NOCASE NOT NULL,
    DESCRIPCION NVARCHAR(60) COLLATE NOCASE,
    IdDeposito  NVARCHAR(4)  COLLATE NOCASE,
    PRIMARY KEY (IDPOSICION)
);

CREATE TABLE TA_CAJAS (
    IdCajas        NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    Descripcion    NVARCHAR(50) COLLATE NOCASE,
    UNegocio       NVARCHAR(4)  COLLATE NOCASE,
    CuentaContable NVARCHAR(20) COLLATE NOCASE,
    Moneda         NVARCHAR(4)  COLLATE NOCASE,
    PRIMARY KEY (IdCajas)
);

-- Cost centres; codes nest by prefix (2, 21, 2101).
CREATE TABLE TA_CCOSTO (
    CODIGO      NVARCHAR(10) COLLATE NOCASE NOT NULL,
    DESCRIPCION NVARCHAR(60) COLLATE NOCASE,
    TITULO      BIT DEFAULT 0,
    PRIMARY KEY (CODIGO)
);

CREATE TABLE TA_RUBROS (
    IdRubro     NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    Descripcion NVARCHAR(50) COLLATE NOCASE,
    PRIMARY KEY (IdRubro)
);

-- Article families. Codes are plain and nest by length (01, 0101): the
-- families tree finds a parent as the greatest shorter code below a code.
CREATE TABLE TA_FAMILIAS (
    IdFamilia   NVARCHAR(10) COLLATE NOCASE NOT NULL,
    Descripcion NVARCHAR(60) COLLATE NOCASE,
    PRIMARY KEY (IdFamilia)
);

CREATE TABLE MA_VEHICULOS (
    PATENTE     NVARCHAR(7)   COLLATE NOCASE NOT NULL,
    MODELO      NVARCHAR(50)  COLLATE NOCASE,
    CapacidadKg NUMERIC(18,2),
    Activo      BIT DEFAULT 1,
    PRIMARY KEY (PATENTE)
);

CREATE TABLE MA_CHOFERES (
    CODIGO    NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    APELLIDO  NVARCHAR(50) COLLATE NOCASE,
    NOMBRES   NVARCHAR(50) COLLATE NOCASE,
    Documento NVARCHAR(11) COLLATE NOCASE,
    Telefono  NVARCHAR(30) COLLATE NOCASE,
    PRIMARY KEY (CODIGO)
);

-- Fiscal years; PERIODO is the period number the journal is kept under.
CREATE TABLE MV_EJERCICIOS (
    PERIODO     SMALLINT NOT NULL,
    DESCRIPCION NVARCHAR(50) COLLATE NOCASE,
    FechaDesde  DATETIME,
    FechaHasta  DATETIME,
    Cerrado     BIT DEFAULT 0,
    PRIMARY KEY (PERIODO)
);

-- Customers (Cliente = 1) and suppliers (Cliente = 0) share one table.
CREATE TABLE MA_CLIENTES (
    Codigo       NVARCHAR(10)  COLLATE NOCASE NOT NULL,
    Razon_Social NVARCHAR(100) COLLATE NOCASE,
    Contacto     NVARCHAR(60)  COLLATE NOCASE,
    Domicilio    NVARCHAR(100) COLLATE NOCASE,
    Localidad    NVARCHAR(60)  COLLATE NOCASE,
    Telefono     NVARCHAR(30)  COLLATE NOCASE,
    Cuit         NVARCHAR(13)  COLLATE NOCASE,
    CondIva      SMALLINT,
    ClasePrecio  SMALLINT,
    Cliente      BIT NOT NULL DEFAULT 1,
    Dada_De_Baja BIT NOT NULL DEFAULT 0,
    PRIMARY KEY (Codigo)
);

-- ---------------------------------------------------------------------------
-- Articles
-- ---------------------------------------------------------------------------

-- Prices are per kilogram, one column per price class 1 to 5. TasaIva null or
-- 0 means the default rate (setting PIVA); Impuestos is a fixed tax per kg.
CREATE TABLE MA_ARTICULOS (
    IdArticulo   NVARCHAR(25)  COLLATE NOCASE NOT NULL,
    Descripcion  NVARCHAR(100) COLLATE NOCASE,
    IdRubro      NVARCHAR(4)   COLLATE NOCASE,
    IdFamilia    NVARCHAR(10)  COLLATE NOCASE,
    Unidad       NVARCHAR(4)   COLLATE NOCASE,
    PesoUnitario NUMERIC(18,4),
    Costo        MONEY,
    Precio1      MONEY,
    Precio2      MONEY,
    Precio3      MONEY,
    Precio4      MONEY,
    Precio5      MONEY,
    TasaIva      NUMERIC(6,2),
    Impuestos    MONEY,
    Suspendido   BIT NOT NULL DEFAULT 0,
    PuntoPedido  NUMERIC(18,4),
    PRIMARY KEY (IdArticulo)
);
CREATE INDEX IX_MA_ARTICULOS_Rubro ON MA_ARTICULOS (IdRubro);

-- Articles reported out of stock from the article lookup.
CREATE TABLE MV_FALTANTES (
    Id          INTEGER PRIMARY KEY AUTOINCREMENT,
    FechaHora   DATETIME,
    IdArticulo  NVARCHAR(25)  COLLATE NOCASE,
    Descripcion NVARCHAR(100) COLLATE NOCASE,
    Usuario     NVARCHAR(50)  COLLATE NOCASE,
    Atendido    BIT DEFAULT 0
);

-- ---------------------------------------------------------------------------
-- Vouchers, stock movements and collections
-- ---------------------------------------------------------------------------

-- Voucher types and their books ("talonarios"), one row per book. CODIGO is
-- right-aligned to 4. For each letter L: L_ULTIMO_NRO (last number used),
-- L_NRO_HASTA (highest number of the book), L_SUC_DEFAULT (branch), LVence
-- (expiry). Modificanumeracion is a yes/no text.
CREATE TABLE TA_CPTE (
    CODIGO             NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    TALONARIO          SMALLINT NOT NULL,
    DESCRIPCION        NVARCHAR(50) COLLATE NOCASE,
    SISTEMA            NVARCHAR(20) COLLATE NOCASE,
    UNEGOCIO           NVARCHAR(4)  COLLATE NOCASE,
    Letras             NVARCHAR(10) COLLATE NOCASE,
    Modificanumeracion NVARCHAR(5)  COLLATE NOCASE,
    A_ULTIMO_NRO  INT, A_NRO_HASTA INT, A_SUC_DEFAULT SMALLINT, AVence DATETIME,
    B_ULTIMO_NRO  INT, B_NRO_HASTA INT, B_SUC_DEFAULT SMALLINT, BVence DATETIME,
    C_ULTIMO_NRO  INT, C_NRO_HASTA INT, C_SUC_DEFAULT SMALLINT, CVence DATETIME,
    E_ULTIMO_NRO  INT, E_NRO_HASTA INT, E_SUC_DEFAULT SMALLINT, EVence DATETIME,
    M_ULTIMO_NRO  INT, M_NRO_HASTA INT, M_SUC_DEFAULT SMALLINT, MVence DATETIME,
    R_ULTIMO_NRO  INT, R_NRO_HASTA INT, R_SUC_DEFAULT SMALLINT, RVence DATETIME,
    X_ULTIMO_NRO  INT, X_NRO_HASTA INT, X_SUC_DEFAULT SMALLINT, XVence DATETIME,
    PRIMARY KEY (CODIGO, TALONARIO)
);

-- Voucher headers. TC is the plain type ('FC', 'CBCT'); IdComprobante is
-- branch (4) + number (8) + letter, so its 13th character is the letter.
CREATE TABLE MV_CPTE (
    TC            NVARCHAR(4)   COLLATE NOCASE NOT NULL,
    IdComprobante NVARCHAR(13)  COLLATE NOCASE NOT NULL,
    Fecha         DATETIME,
    Cuenta        NVARCHAR(10)  COLLATE NOCASE,
    RazonSocial   NVARCHAR(100) COLLATE NOCASE,
    IdReparto     INT,
    ClasePrecio   SMALLINT,
    Neto          MONEY,
    Iva           MONEY,
    ImpInternos   MONEY,
    Importe       MONEY,
    Finalizada    BIT NOT NULL DEFAULT 0,
    Anulada       BIT NOT NULL DEFAULT 0,
    UNegocio      NVARCHAR(4)   COLLATE NOCASE,
    Moneda        NVARCHAR(4)   COLLATE NOCASE,
    Cotizacion    NUMERIC(18,4),
    IdDeposito    NVARCHAR(4)   COLLATE NOCASE,
    Usuario       NVARCHAR(50)  COLLATE NOCASE,
    Observaciones NVARCHAR(255) COLLATE NOCASE,
    PRIMARY KEY (TC, IdComprobante)
);
CREATE INDEX IX_MV_CPTE_Reparto ON MV_CPTE (IdReparto);

-- Stock movements of the vouchers: Cantidad in kilograms, CantidadUD in units;
-- negative leaves stock (a sale), positive comes back (a return).
CREATE TABLE MV_STOCK (
    Id            INTEGER PRIMARY KEY AUTOINCREMENT,
    TC            NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    IdComprobante NVARCHAR(13) COLLATE NOCASE NOT NULL,
    Fecha         DATETIME,
    IdArticulo    NVARCHAR(25) COLLATE NOCASE NOT NULL,
    IdDeposito    NVARCHAR(4)  COLLATE NOCASE,
    Cantidad      NUMERIC(18,4),
    CantidadUD    NUMERIC(18,4),
    Precio        MONEY,
    Costo         MONEY
);
CREATE INDEX IX_MV_STOCK_Cpte ON MV_STOCK (TC, IdComprobante);
CREATE INDEX IX_MV_STOCK_Articulo ON MV_STOCK (IdArticulo);

-- Collections (TC 'CB' receipt, 'CBCT' cash on delivery) applied to vouchers.
CREATE TABLE MV_APLICACION (
    Id                   INTEGER PRIMARY KEY AUTOINCREMENT,
    TC                   NVARCHAR(4)  COLLATE NOCASE NOT NULL,
    IdComprobante        NVARCHAR(13) COLLATE NOCASE NOT NULL,
    Cuenta               NVARCHAR(10) COLLATE NOCASE,
    Fecha                DATETIME,
    TCO_ORIGEN           NVARCHAR(4)  COLLATE NOCASE,
    IDComprobante_Origen NVARCHAR(13) COLLATE NOCASE,
    Importe              MONEY,
    IdCajas              NVARCHAR(4)  COLLATE NOCASE
);
CREATE INDEX IX_MV_APLICACION_Origen ON MV_APLICACION (TCO_ORIGEN, IDComprobante_Origen);

-- ---------------------------------------------------------------------------
-- Delivery runs
-- ---------------------------------------------------------------------------

-- Run header. CuentaG1..4 and CuentaMP hold MA_CUENTAS codes as typed (up to
-- the 50 characters of their fields); FINALIZADO stays null while the run is open.
CREATE TABLE MV_REPARTO (
    IdReparto     INT NOT NULL,
    IdComplemento INT DEFAULT 0,
    Fecha         DATETIME,
    Clase         SMALLINT,
    Vehiculo      NVARCHAR(7)    COLLATE NOCASE,
    Chofer        NVARCHAR(100)  COLLATE NOCASE,
    KmInicial     NUMERIC(18,2),
    KmFinal       NUMERIC(18,2),
    Observaciones NVARCHAR(1000) COLLATE NOCASE,
    CuentaG1      NVARCHAR(50)   COLLATE NOCASE,
    CuentaG2      NVARCHAR(50)   COLLATE NOCASE,
    CuentaG3      NVARCHAR(50)   COLLATE NOCASE,
    CuentaG4      NVARCHAR(50)   COLLATE NOCASE,
    Gasto1        MONEY,
    Gasto2        MONEY,
    Gasto3        MONEY,
    Gasto4        MONEY,
    CuentaMP      NVARCHAR(50)   COLLATE NOCASE,
    GastoMP       MONEY,
    ImpRecaudado  MONEY,
    FINALIZADO    DATETIME,
    PRIMARY KEY (IdReparto)
);

-- One line per article of a run. Cantidad columns are kilograms, the UD ones
-- units; REC_ reloaded on the way, DEV_ returned or left over. Descripcion is
-- the article id, a blank and the article description, as the sheet shows it.
CREATE TABLE MV_REPARTODET (
    IdReparto      INT NOT NULL,
    IdArticulo     NVARCHAR(25)  COLLATE NOCASE NOT NULL,
    Descripcion    NVARCHAR(150) COLLATE NOCASE,
    CantidadUD     NUMERIC(18,4),
    Cantidad       NUMERIC(18,4),
    REC_CANTIDADUD NUMERIC(18,4),
    REC_CANTIDAD   NUMERIC(18,4),
    DEV_CANTIDADUD NUMERIC(18,4),
    DEV_CANTIDAD   NUMERIC(18,4),
    Costo          MONEY,
    Importe_S_Iva  MONEY,
    Impuestos      MONEY,
    aliciva        NUMERIC(6,2),
    PRIMARY KEY (IdReparto, IdArticulo)
);

-- ---------------------------------------------------------------------------
-- Accounting
-- ---------------------------------------------------------------------------

-- Chart of accounts. TITULO 1 marks a heading account that takes no entries;
-- MEDIODEPAGO is null for every account but the means of payment (EF cash,
-- BCO bank, CH cheques).
CREATE TABLE MA_CUENTAS (
    CODIGO      NVARCHAR(20)  COLLATE NOCASE NOT NULL,
    Descripcion NVARCHAR(100) COLLATE NOCASE,
    TITULO      BIT NOT NULL DEFAULT 0,
    MEDIODEPAGO NVARCHAR(4)   COLLATE NOCASE,
    Nivel       SMALLINT,
    TipoCuenta  NCHAR(1)      COLLATE NOCASE,
    UsaCCosto   BIT DEFAULT 0,
    Moneda      NVARCHAR(4)   COLLATE NOCASE,
    Suspendida  BIT DEFAULT 0,
    PRIMARY KEY (CODIGO)
);

-- Journal lines. An entry is numbered within its month, register type and
-- period. "Debe-Haber" is D or H. Sucursal and Numero are text because a voucher
-- book that is used up leaves them empty.
CREATE TABLE MV_ASIENTOS (
    Id                     INTEGER PRIMARY KEY AUTOINCREMENT,
    Fecha                  DATETIME,
    FechaSubDiario         DATETIME,
    Mes_Operativo          SMALLINT,
    "NUMERO ASIENTO"       INT,
    Cuenta                 NVARCHAR(20)   COLLATE NOCASE,
    Secuencia              SMALLINT,
    Cabimporte             MONEY,
    "Debe-Haber"           NCHAR(1)       COLLATE NOCASE,
    Importe                MONEY,
    Periodo                SMALLINT,
    TC                     NVARCHAR(4)    COLLATE NOCASE,
    Sucursal               NVARCHAR(4)    COLLATE NOCASE,
    Numero                 NVARCHAR(8)    COLLATE NOCASE,
    Letra                  NCHAR(1)       COLLATE NOCASE,
    Tipo_Reg               NVARCHAR(4)    COLLATE NOCASE,
    Detalle                NVARCHAR(1000) COLLATE NOCASE,
    Moneda                 NVARCHAR(4)    COLLATE NOCASE,
    Cotizacion             NUMERIC(18,4),
    IdCajas                NVARCHAR(4)    COLLATE NOCASE,
    Cpte_Origen            NVARCHAR(30)   COLLATE NOCASE,
    IdBanco                NVARCHAR(4)    COLLATE NOCASE,
    NroComprobanteBancario NVARCHAR(20)   COLLATE NOCASE,
    Clearing               SMALLINT,
    ChPropio               BIT,
    Vencimiento            DATETIME,
    CuentaOrigen           NVARCHAR(20)   COLLATE NOCASE,
    CuentaDestino          NVARCHAR(20)   COLLATE NOCASE
);
CREATE INDEX IX_MV_ASIENTOS_Numero ON MV_ASIENTOS (Periodo, Mes_Operativo, Tipo_Reg, "NUMERO ASIENTO");

-- Cost-centre journal: the debit lines of entries spread over cost centres.
-- It shares the numbering of MV_ASIENTOS.
CREATE TABLE MV_ASIENTOSCCOSTO (
    Id               INTEGER PRIMARY KEY AUTOINCREMENT,
    Fecha            DATETIME,
    Mes_Operativo    SMALLINT,
    "NUMERO ASIENTO" INT,
    Secuencia        SMALLINT,
    Cuenta           NVARCHAR(20)  COLLATE NOCASE,
    IdCCosto         NVARCHAR(10)  COLLATE NOCASE,
    "Debe-Haber"     NCHAR(1)      COLLATE NOCASE,
    Importe          MONEY,
    Porcentaje       NUMERIC(7,4),
    Periodo          SMALLINT,
    Tipo_Reg         NVARCHAR(4)   COLLATE NOCASE,
    Detalle          NVARCHAR(255) COLLATE NOCASE
);
CREATE INDEX IX_MV_ASIENTOSCCOSTO_Numero ON MV_ASIENTOSCCOSTO (Periodo, Mes_Operativo, Tipo_Reg, "NUMERO ASIENTO");

-- Daily movement of each account, accumulated from the journal.
CREATE TABLE AC_CUENTASDIARIO (
    Periodo SMALLINT NOT NULL,
    Fecha   DATETIME NOT NULL,
    Cuenta  NVARCHAR(20) COLLATE NOCASE NOT NULL,
    Debe    MONEY,
    Haber   MONEY,
    PRIMARY KEY (Periodo, Fecha, Cuenta)
);

-- The same per cost centre, from the cost-centre journal.
CREATE TABLE AC_CUENTASDIARIO_CCOSTO (
    Periodo  SMALLINT NOT NULL,
    Fecha    DATETIME NOT NULL,
    Cuenta   NVARCHAR(20) COLLATE NOCASE NOT NULL,
    IdCCosto NVARCHAR(10) COLLATE NOCASE NOT NULL,
    Debe     MONEY,
    Haber    MONEY,
    PRIMARY KEY (Periodo, Fecha, Cuenta, IdCCosto)
);


-- ---------------------------------------------------------------------------
-- Views
-- ---------------------------------------------------------------------------
-- Views written through (runs, run lines, out-of-stock reports, the journal
-- synonym) list their columns and carry INSTEAD OF triggers that repeat the
-- change on their table; the rest are read only.

-- Run headers: the sheet reads, inserts and updates runs here.
CREATE VIEW V_MV_REPARTO AS
SELECT IdReparto,
       IdComplemento,
       Fecha,
       Clase,
       Vehiculo,
       Chofer,
       KmInicial,
       KmFinal,
       Observaciones,
       CuentaG1,
       CuentaG2,
       CuentaG3,
       CuentaG4,
       Gasto1,
       Gasto2,
       Gasto3,
       Gasto4,
       CuentaMP,
       GastoMP,
       ImpRecaudado,
       FINALIZADO
FROM MV_REPARTO;
CREATE TRIGGER V_MV_REPARTO_INS INSTEAD OF INSERT ON V_MV_REPARTO
BEGIN
    INSERT INTO MV_REPARTO (IdReparto, IdComplemento, Fecha, Clase, Vehiculo, Chofer, KmInicial, KmFinal, Observaciones, CuentaG1, CuentaG2, CuentaG3, CuentaG4, Gasto1, Gasto2, Gasto3, Gasto4, CuentaMP, GastoMP, ImpRecaudado, FINALIZADO)
    VALUES (NEW.IdReparto, COALESCE(NEW.IdComplemento, 0), NEW.Fecha, NEW.Clase, NEW.Vehiculo, NEW.Chofer, NEW.KmInicial, NEW.KmFinal, NEW.Observaciones, NEW.CuentaG1, NEW.CuentaG2, NEW.CuentaG3, NEW.CuentaG4, NEW.Gasto1, NEW.Gasto2, NEW.Gasto3, NEW.Gasto4, NEW.CuentaMP, NEW.GastoMP, NEW.ImpRecaudado, NEW.FINALIZADO);
END;
CREATE TRIGGER V_MV_REPARTO_UPD INSTEAD OF UPDATE ON V_MV_REPARTO
BEGIN
    UPDATE MV_REPARTO SET
        IdReparto = NEW.IdReparto,
        IdComplemento = NEW.IdComplemento,
        Fecha = NEW.Fecha,
        Clase = NEW.Clase,
        Vehiculo = NEW.Vehiculo,
        Chofer = NEW.Chofer,
        KmInicial = NEW.KmInicial,
        KmFinal = NEW.KmFinal,
        Observaciones = NEW.Observaciones,
        CuentaG1 = NEW.CuentaG1,
        CuentaG2 = NEW.CuentaG2,
        CuentaG3 = NEW.CuentaG3,
        CuentaG4 = NEW.CuentaG4,
        Gasto1 = NEW.Gasto1,
        Gasto2 = NEW.Gasto2,
        Gasto3 = NEW.Gasto3,
        Gasto4 = NEW.Gasto4,
        CuentaMP = NEW.CuentaMP,
        GastoMP = NEW.GastoMP,
        ImpRecaudado = NEW.ImpRecaudado,
        FINALIZADO = NEW.FINALIZADO
    WHERE IdReparto = OLD.IdReparto;
END;
CREATE TRIGGER V_MV_REPARTO_DEL INSTEAD OF DELETE ON V_MV_REPARTO
BEGIN
    DELETE FROM MV_REPARTO WHERE IdReparto = OLD.IdReparto;
END;

-- Run lines: a save deletes the run's lines here and adds them again.
CREATE VIEW V_MV_REPARTODET AS
SELECT IdReparto,
       IdArticulo,
       Descripcion,
       CantidadUD,
       Cantidad,
       REC_CANTIDADUD,
       REC_CANTIDAD,
       DEV_CANTIDADUD,
       DEV_CANTIDAD,
       Costo,
       Importe_S_Iva,
       Impuestos,
       aliciva
FROM MV_REPARTODET;
CREATE TRIGGER V_MV_REPARTODET_INS INSTEAD OF INSERT ON V_MV_REPARTODET
BEGIN
    INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, Descripcion, CantidadUD, Cantidad, REC_CANTIDADUD, REC_CANTIDAD, DEV_CANTIDADUD, DEV_CANTIDAD, Costo, Importe_S_Iva, Impuestos, aliciva)
    VALUES (NEW.IdReparto, NEW.IdArticulo, NEW.Descripcion, NEW.CantidadUD, NEW.Cantidad, NEW.REC_CANTIDADUD, NEW.REC_CANTIDAD, NEW.DEV_CANTIDADUD, NEW.DEV_CANTIDAD, NEW.Costo, NEW.Importe_S_Iva, NEW.Impuestos, NEW.aliciva);
END;
CREATE TRIGGER V_MV_REPARTODET_UPD INSTEAD OF UPDATE ON V_MV_REPARTODET
BEGIN
    UPDATE MV_REPARTODET SET
        IdReparto = NEW.IdReparto,
        IdArticulo = NEW.IdArticulo,
        Descripcion = NEW.Descripcion,
        CantidadUD = NEW.CantidadUD,
        Cantidad = NEW.Cantidad,
        REC_CANTIDADUD = NEW.REC_CANTIDADUD,
        REC_CANTIDAD = NEW.REC_CANTIDAD,
        DEV_CANTIDADUD = NEW.DEV_CANTIDADUD,
        DEV_CANTIDAD = NEW.DEV_CANTIDAD,
        Costo = NEW.Costo,
        Importe_S_Iva = NEW.Importe_S_Iva,
        Impuestos = NEW.Impuestos,
        aliciva = NEW.aliciva
    WHERE IdReparto = OLD.IdReparto AND IdArticulo = OLD.IdArticulo;
END;
CREATE TRIGGER V_MV_REPARTODET_DEL INSTEAD OF DELETE ON V_MV_REPARTODET
BEGIN
    DELETE FROM MV_REPARTODET WHERE IdReparto = OLD.IdReparto AND IdArticulo = OLD.IdArticulo;
END;

-- Out-of-stock reports, inserted from the article lookup.
CREATE VIEW V_MV_FALTANTES AS
SELECT Id,
       FechaHora,
       IdArticulo,
       Descripcion,
       Usuario,
       Atendido
FROM MV_FALTANTES;
CREATE TRIGGER V_MV_FALTANTES_INS INSTEAD OF INSERT ON V_MV_FALTANTES
BEGIN
    INSERT INTO MV_FALTANTES (Id, FechaHora, IdArticulo, Descripcion, Usuario, Atendido)
    VALUES (NEW.Id, NEW.FechaHora, NEW.IdArticulo, NEW.Descripcion, NEW.Usuario, COALESCE(NEW.Atendido, 0));
END;
CREATE TRIGGER V_MV_FALTANTES_UPD INSTEAD OF UPDATE ON V_MV_FALTANTES
BEGIN
    UPDATE MV_FALTANTES SET
        FechaHora = NEW.FechaHora,
        IdArticulo = NEW.IdArticulo,
        Descripcion = NEW.Descripcion,
        Usuario = NEW.Usuario,
        Atendido = NEW.Atendido
    WHERE Id = OLD.Id;
END;
CREATE TRIGGER V_MV_FALTANTES_DEL INSTEAD OF DELETE ON V_MV_FALTANTES
BEGIN
    DELETE FROM MV_FALTANTES WHERE Id = OLD.Id;
END;


-- Articles with the description of their rubro (read by the sheet).
CREATE VIEW V_MA_ARTICULOS AS
SELECT a.IdArticulo, a.Descripcion, a.IdRubro, r.Descripcion AS DescripcionRubro,
       a.IdFamilia, a.Unidad, a.PesoUnitario, a.Costo,
       a.Precio1, a.Precio2, a.Precio3, a.Precio4, a.Precio5,
       a.TasaIva, a.Impuestos, a.Suspendido, a.PuntoPedido
FROM MA_ARTICULOS a
LEFT JOIN TA_RUBROS r ON r.IdRubro = a.IdRubro;

-- Articles as the lookups list them, with the stock in units (the sum of the
-- stock movements) next to the reorder point for the stock colouring.
CREATE VIEW VT_MA_ARTICULOS AS
SELECT a.IdArticulo, a.Descripcion, a.IdRubro, r.Descripcion AS DescripcionRubro,
       a.IdFamilia, a.Precio1, a.Precio2, a.Precio3, a.Precio4, a.Precio5,
       a.TasaIva, a.Suspendido, a.PuntoPedido,
       (SELECT IFNULL(SUM(s.CantidadUD), 0) FROM MV_STOCK s
         WHERE s.IdArticulo = a.IdArticulo) AS Stock
FROM MA_ARTICULOS a
LEFT JOIN TA_RUBROS r ON r.IdRubro = a.IdRubro;

CREATE VIEW V_TA_RUBROS AS SELECT * FROM TA_RUBROS;
CREATE VIEW V_TA_FAMILIAS AS SELECT * FROM TA_FAMILIAS;
CREATE VIEW V_TA_DEPOSITO AS SELECT * FROM TA_DEPOSITO;
CREATE VIEW V_TA_CAJAS AS SELECT * FROM TA_CAJAS;
CREATE VIEW V_TA_UNIDADNEGOCIO AS SELECT * FROM TA_UNIDADNEGOCIO;
CREATE VIEW V_TA_CPTE AS SELECT * FROM TA_CPTE;
CREATE VIEW V_MV_CPTE AS SELECT * FROM MV_CPTE;
CREATE VIEW V_MV_STOCK AS SELECT * FROM MV_STOCK;
CREATE VIEW VT_CLIENTES AS SELECT * FROM MA_CLIENTES WHERE Cliente = 1;
CREATE VIEW VT_PROVEEDORES AS SELECT * FROM MA_CLIENTES WHERE Cliente = 0;

-- ---------------------------------------------------------------------------
-- Synonyms read by users who are not administrators
-- ---------------------------------------------------------------------------
-- Plain views over their tables; the journal one is written through as well.
-- Note the spelling of the last one, with an underscore between CUENTAS and DIARIO.
CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS;
CREATE VIEW SS_V_TA_DEPOSITO AS SELECT * FROM V_TA_DEPOSITO;
CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS;
CREATE VIEW SS_V_TA_CAJAS AS SELECT * FROM V_TA_CAJAS;
CREATE VIEW SS_AC_CUENTASDIARIO AS SELECT * FROM AC_CUENTASDIARIO;
CREATE VIEW SS_AC_CUENTAS_DIARIO_CCOSTO AS SELECT * FROM AC_CUENTASDIARIO_CCOSTO;

-- Journal lines, posted through here when the confidentiality setting redirects them.
CREATE VIEW SS_MV_ASIENTOS AS
SELECT Id,
       Fecha,
       FechaSubDiario,
       Mes_Operativo,
       "NUMERO ASIENTO",
       Cuenta,
       Secuencia,
       Cabimporte,
       "Debe-Haber",
       Importe,
       Periodo,
       TC,
       Sucursal,
       Numero,
       Letra,
       Tipo_Reg,
       Detalle,
       Moneda,
       Cotizacion,
       IdCajas,
       Cpte_Origen,
       IdBanco,
       NroComprobanteBancario,
       Clearing,
       ChPropio,
       Vencimiento,
       CuentaOrigen,
       CuentaDestino
FROM MV_ASIENTOS;
CREATE TRIGGER SS_MV_ASIENTOS_INS INSTEAD OF INSERT ON SS_MV_ASIENTOS
BEGIN
    INSERT INTO MV_ASIENTOS (Id, Fecha, FechaSubDiario, Mes_Operativo, "NUMERO ASIENTO", Cuenta, Secuencia, Cabimporte, "Debe-Haber", Importe, Periodo, TC, Sucursal, Numero, Letra, Tipo_Reg, Detalle, Moneda, Cotizacion, IdCajas, Cpte_Origen, IdBanco, NroComprobanteBancario, Clearing, ChPropio, Vencimiento, CuentaOrigen, CuentaDestino)
    VALUES (NEW.Id, NEW.Fecha, NEW.FechaSubDiario, NEW.Mes_Operativo, NEW."NUMERO ASIENTO", NEW.Cuenta, NEW.Secuencia, NEW.Cabimporte, NEW."Debe-Haber", NEW.Importe, NEW.Periodo, NEW.TC, NEW.Sucursal, NEW.Numero, NEW.Letra, NEW.Tipo_Reg, NEW.Detalle, NEW.Moneda, NEW.Cotizacion, NEW.IdCajas, NEW.Cpte_Origen, NEW.IdBanco, NEW.NroComprobanteBancario, NEW.Clearing, NEW.ChPropio, NEW.Vencimiento, NEW.CuentaOrigen, NEW.CuentaDestino);
END;
CREATE TRIGGER SS_MV_ASIENTOS_UPD INSTEAD OF UPDATE ON SS_MV_ASIENTOS
BEGIN
    UPDATE MV_ASIENTOS SET
        Fecha = NEW.Fecha,
        FechaSubDiario = NEW.FechaSubDiario,
        Mes_Operativo = NEW.Mes_Operativo,
        "NUMERO ASIENTO" = NEW."NUMERO ASIENTO",
        Cuenta = NEW.Cuenta,
        Secuencia = NEW.Secuencia,
        Cabimporte = NEW.Cabimporte,
        "Debe-Haber" = NEW."Debe-Haber",
        Importe = NEW.Importe,
        Periodo = NEW.Periodo,
        TC = NEW.TC,
        Sucursal = NEW.Sucursal,
        Numero = NEW.Numero,
        Letra = NEW.Letra,
        Tipo_Reg = NEW.Tipo_Reg,
        Detalle = NEW.Detalle,
        Moneda = NEW.Moneda,
        Cotizacion = NEW.Cotizacion,
        IdCajas = NEW.IdCajas,
        Cpte_Origen = NEW.Cpte_Origen,
        IdBanco = NEW.IdBanco,
        NroComprobanteBancario = NEW.NroComprobanteBancario,
        Clearing = NEW.Clearing,
        ChPropio = NEW.ChPropio,
        Vencimiento = NEW.Vencimiento,
        CuentaOrigen = NEW.CuentaOrigen,
        CuentaDestino = NEW.CuentaDestino
    WHERE Id = OLD.Id;
END;
CREATE TRIGGER SS_MV_ASIENTOS_DEL INSTEAD OF DELETE ON SS_MV_ASIENTOS
BEGIN
    DELETE FROM MV_ASIENTOS WHERE Id = OLD.Id;
END;
