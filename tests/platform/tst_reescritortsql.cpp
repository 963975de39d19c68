// The SQL Server text the program sends must give, on SQLite, the rows SQL Server would give.
// Each case rewrites the text, runs it on a small database with known rows and compares rows.

#include "ado/sqlite/FuncionesTSql.h"
#include "ado/sqlite/ReescritorTSql.h"
#include "platform/ado/Falla.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QRandomGenerator>
#include <QtTest>

using ado::sqlite::ReescribeTSql;

namespace {

const char kEsquema[] = R"(
CREATE TABLE CLIENTES (CODIGO INTEGER PRIMARY KEY, NOMBRE VARCHAR(30) COLLATE NOCASE,
                       ZONA VARCHAR(10) COLLATE NOCASE, SALDO NUMERIC, ALTA DATETIME);
INSERT INTO CLIENTES VALUES (1, 'ANA  ', 'NORTE', 100.5, '2024-01-31'),
                            (2, 'Bob', 'sur', 20, '2024-02-15 10:30:00'),
                            (3, 'carla', NULL, 0, '2023-12-31'),
                            (4, NULL, 'norte', NULL, NULL);
CREATE TABLE CFG (CLAVE VARCHAR(40) COLLATE NOCASE PRIMARY KEY, VALOR VARCHAR(100) COLLATE NOCASE);
INSERT INTO CFG VALUES ('CC_COL1', '001,002'), ('PERIODO', '2024');
CREATE TABLE MV_ASIENTOS ("NUMERO ASIENTO" INTEGER, MES_OPERATIVO INTEGER,
                          TIPO_REG VARCHAR(3) COLLATE NOCASE, PERIODO INTEGER, IMPORTE NUMERIC);
INSERT INTO MV_ASIENTOS VALUES (1, 1, 'A', 2024, 10), (2, 1, 'A', 2024, 20), (7, 2, 'B', 2024, 5);
CREATE TABLE MOV (ID INTEGER PRIMARY KEY, IDREPARTO INTEGER, CANT INTEGER);
)";

// Statements the program writes, used for the timing and the truncation cases.
const char* const kSentenciasReales[] = {
    "SELECT TOP 1  * FROM CFG with(nolock)  WHERE LTRIM(RTRIM(CLAVE)) ='cc_col1' ",
    "SELECT VALOR FROM CFG with(nolock)  WHERE CLAVE = 'PERIODO'",
    "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WITH(NOLOCK) WHERE "
    "MES_OPERATIVO = 1 AND (TIPO_REG = 'A' OR TIPO_REG = '') AND PERIODO =  2024",
    "SELECT     TOP 100 PERCENT CODIGO, NOMBRE, (SELECT     TOP 1 c.CODIGO FROM CLIENTES c  "
    " Where c.CODIGO < b.CODIGO And (Len(LTrim(RTrim(c.NOMBRE))) < Len(LTrim(RTrim(b.NOMBRE)))) "
    " ORDER BY c.CODIGO DESC) AS [relative] FROM dbo.CLIENTES b Where NOMBRE<>'' ORDER BY CODIGO",
    "BEGIN TRANSACTION \r\rINSERT INTO MOV (IDREPARTO, CANT) VALUES (1, 2)\rUPDATE CLIENTES SET "
    "ZONA = 'x'  WHERE CODIGO = 3\r",
    "SELECT TIPO_REG,SUBSTRING(TIPO_REG,1,1) AS LETRA, SUM(IMPORTE) AS TOTAL FROM MV_ASIENTOS "
    "WHERE PERIODO = 2024 GROUP BY TIPO_REG, SUBSTRING(TIPO_REG,1,1)",
    "delete MOV WHERE IDREPARTO = 5",
    "SELECT CODIGO FROM CLIENTES WHERE CONVERT(NVARCHAR, ALTA, 103) = '31/01/2024' AND "
    "NOMBRE LIKE N'%a%' AND ZONA IN ('norte', 'SUR')",
    "SELECT ISNULL(NOMBRE, '') + ' - ' + LEFT(ZONA, 2) FROM CLIENTES WHERE ALTA BETWEEN "
    "'01/01/2024' AND #31/12/2024# ORDER BY CODIGO",
};

struct Resultado {
    QStringList filas;
    QString error;
};

// Rows as "col|col", NULL as "NULL"; the rows of every statement of the batch that has any.
Resultado Ejecuta(sqlite3* db, const QString& sqlite) {
    Resultado r;
    const QByteArray utf8 = sqlite.toUtf8();
    const char* resto = utf8.constData();
    while (resto && *resto) {
        sqlite3_stmt* st = nullptr;
        const char* siguiente = nullptr;
        if (sqlite3_prepare_v2(db, resto, -1, &st, &siguiente) != SQLITE_OK) {
            r.error = QString::fromUtf8(sqlite3_errmsg(db));
            return r;
        }
        resto = siguiente;
        if (!st)
            continue;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList columnas;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                columnas << (t ? QString::fromUtf8(t) : QStringLiteral("NULL"));
            }
            r.filas << columnas.join(u'|');
        }
        if (rc != SQLITE_DONE)
            r.error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        if (!r.error.isEmpty())
            return r;
    }
    return r;
}

// Whether the text leaves a 'string', [name], "name" or /* comment open (checked apart from
// the rewriter's own tokenizer).
bool QuedaAbierto(const QString& s) {
    QChar cierre;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!cierre.isNull()) {
            if (c == cierre) {
                if (i + 1 < s.size() && s[i + 1] == cierre)
                    ++i;
                else
                    cierre = QChar();
            }
        } else if (c == u'\'') {
            cierre = u'\'';
        } else if (c == u'"') {
            cierre = u'"';
        } else if (c == u'[') {
            cierre = u']';
        } else if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
            while (i < s.size() && s[i] != u'\n' && s[i] != u'\r')
                ++i;
        } else if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
            const qsizetype fin = s.indexOf(QStringLiteral("*/"), i + 2);
            if (fin < 0)
                return true;
            i = fin + 1;
        }
    }
    return !cierre.isNull();
}

} // namespace

class TstReescritorTSql : public QObject {
    Q_OBJECT

private:
    sqlite3* db_ = nullptr;

    Resultado Corre(const QString& tsql) { return Ejecuta(db_, ReescribeTSql(tsql)); }

private slots:
    void init() {
        QCOMPARE(sqlite3_open(":memory:", &db_), SQLITE_OK);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        ado::sqlite::RegistraFuncionesTSql(db_);
        char* error = nullptr;
        QCOMPARE(sqlite3_exec(db_, kEsquema, nullptr, nullptr, &error), SQLITE_OK);
    }
    void cleanup() {
        sqlite3_close(db_);
        db_ = nullptr;
    }

    void consultas_data() {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QStringList>("esperado");
        const auto fila = [](const char* nombre, const char* tsql, QStringList esperado) {
            QTest::newRow(nombre) << QString::fromUtf8(tsql) << esperado;
        };
        fila("top 1 con pista y ltrim(rtrim())",
             "SELECT TOP 1  * FROM CFG with(nolock)  WHERE LTRIM(RTRIM(CLAVE)) ='cc_col1' ",
             {"CC_COL1|001,002"});
        fila("top antes del order by",
             "select top 2 CODIGO from CLIENTES WITH (NOLOCK) order by CODIGO desc", {"4", "3"});
        fila("top entre parentesis", "SELECT TOP (2) CODIGO FROM CLIENTES ORDER BY CODIGO",
             {"1", "2"});
        fila("top con distinct",
             "SELECT DISTINCT TOP 1 ZONA FROM CLIENTES WHERE ZONA IS NOT NULL ORDER BY ZONA DESC",
             {"sur"});
        fila("top en subconsulta",
             "SELECT CODIGO, (SELECT TOP 1 [NUMERO ASIENTO] FROM MV_ASIENTOS with ( nolock ) "
             "WHERE MES_OPERATIVO = 1 ORDER BY [NUMERO ASIENTO] DESC) FROM CLIENTES WHERE CODIGO = "
             "1",
             {"1|2"});
        fila("top en tabla derivada",
             "SELECT COUNT(*) FROM (SELECT TOP 2 * FROM CLIENTES ORDER BY CODIGO) d", {"2"});
        fila("top 100 percent",
             "SELECT     TOP 100 PERCENT CODIGO FROM dbo.CLIENTES WHERE CODIGO IN (SELECT TOP 100 "
             "PERCENT CODIGO FROM CLIENTES) ORDER BY CODIGO",
             {"1", "2", "3", "4"});
        fila("top en cada rama de union",
             "SELECT COUNT(*) FROM (SELECT TOP 1 CODIGO FROM CLIENTES UNION ALL SELECT TOP 1 "
             "[NUMERO ASIENTO] FROM MV_ASIENTOS) u",
             {"2"});
        fila("top en la ultima rama de union",
             "SELECT 9 UNION ALL SELECT TOP 2 [NUMERO ASIENTO] FROM MV_ASIENTOS WHERE "
             "MES_OPERATIVO = 1 ORDER BY 1 DESC",
             {"9", "2", "1"});
        fila("isnull", "SELECT CODIGO, ISNULL(ZONA, 'sin zona') FROM CLIENTES WHERE CODIGO = 3",
             {"3|sin zona"});
        fila("len sin blancos finales",
             "SELECT LEN('ab  '), LEN(NOMBRE), LEN(NULL) FROM CLIENTES WHERE CODIGO = 1",
             {"2|3|NULL"});
        fila("substring", "SELECT SUBSTRING(NOMBRE, 2, 2) FROM CLIENTES WHERE CODIGO = 2", {"ob"});
        fila("ltrim(rtrim()) encuentra 'ANA  '",
             "SELECT TOP 1 * FROM CLIENTES with(nolock)  WHERE LTRIM(RTRIM(NOMBRE)) ='ana' ",
             {"1|ANA  |NORTE|100.5|2024-01-31"});
        fila("clave en minusculas", "SELECT VALOR FROM CFG with(nolock)  WHERE CLAVE = 'cc_col1'",
             {"001,002"});
        fila("blancos finales del literal no cuentan",
             "SELECT CODIGO FROM CLIENTES WHERE ZONA = 'norte ' ORDER BY CODIGO", {"1", "4"});
        fila("in sin distinguir mayusculas",
             "SELECT CODIGO FROM CLIENTES WHERE UPPER(ZONA) IN ('Sur', 'x') OR LTRIM(NOMBRE) IN "
             "('CARLA')",
             {"2", "3"});
        fila("not in sin distinguir mayusculas",
             "SELECT CODIGO FROM CLIENTES WHERE UPPER(ZONA) NOT IN ('Sur', 'x') ORDER BY CODIGO",
             {"1", "4"});
        fila("like", "SELECT CODIGO FROM CLIENTES WHERE NOMBRE LIKE 'B%' OR ZONA LIKE('%ORT%')",
             {"1", "2", "4"});
        fila("prefijo N", "SELECT CODIGO FROM CLIENTES WHERE NOMBRE = N'BOB'", {"2"});
        fila("corchetes",
             "SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WITH(NOLOCK) WHERE "
             "MES_OPERATIVO = 1 AND TIPO_REG = 'a' AND PERIODO =  2024",
             {"2"});
        fila("dbo con y sin corchetes",
             "SELECT COUNT(*) FROM dbo.CLIENTES b, [dbo].[CFG] c WHERE b.CODIGO < 3 AND c.CLAVE = "
             "'periodo'",
             {"2"});
        fila("pista sin with", "SELECT COUNT(*) FROM CLIENTES a (NOLOCK) WHERE a.CODIGO > 2",
             {"2"});
        fila("convert 103 contra texto dma",
             "SELECT CODIGO FROM CLIENTES WHERE CONVERT(NVARCHAR, ALTA, 103) = '31/01/2024'",
             {"1"});
        fila("convert 103 de fecha con hora",
             "SELECT CONVERT(NVARCHAR(10), ALTA, 103) FROM CLIENTES WHERE CODIGO = 2",
             {"15/02/2024"});
        fila("fecha dma comparada", "SELECT CODIGO FROM CLIENTES WHERE ALTA >= '01/02/2024'",
             {"2"});
        fila("fecha dma a la izquierda", "SELECT CODIGO FROM CLIENTES WHERE '31/01/2024' = ALTA",
             {"1"});
        fila("texto dma a la izquierda de convert",
             "SELECT CODIGO FROM CLIENTES WHERE '31/01/2024' = CONVERT(NVARCHAR(10), ALTA, 103)",
             {"1"});
        fila("fecha dma con hora",
             "SELECT CODIGO FROM CLIENTES WHERE ALTA < '15/02/2024 10:31' AND ALTA > '15/02/2024 "
             "10:29'",
             {"2"});
        fila("between de fechas dma",
             "SELECT CODIGO FROM CLIENTES WHERE ALTA BETWEEN '31/12/23' AND '31/01/2024' ORDER BY "
             "CODIGO",
             {"1", "3"});
        fila("fecha entre almohadillas", "SELECT CODIGO FROM CLIENTES WHERE ALTA = #31/01/2024# ",
             {"1"});
        fila("concatenacion de textos",
             "SELECT LTRIM(RTRIM(NOMBRE)) + ' (' + ZONA + ')' FROM CLIENTES WHERE CODIGO = 1",
             {"ANA (NORTE)"});
        fila("concatenacion de funciones de texto",
             "SELECT RTRIM(NOMBRE) + ZONA, LEFT(NOMBRE, 1) + CONVERT(VARCHAR(3), CODIGO) FROM "
             "CLIENTES WHERE CODIGO = 2",
             {"Bobsur|B2"});
        fila("concatenacion de isnull",
             "SELECT ISNULL(NOMBRE,'') + ISNULL(ZONA,'') FROM CLIENTES WHERE CODIGO = 3",
             {"carla"});
        fila("concatenacion con convert",
             "SELECT 'Saldo: ' + CONVERT(VARCHAR, SALDO + CODIGO) FROM CLIENTES WHERE CODIGO = 2",
             {"Saldo: 22"});
        fila("concatenacion con case",
             "SELECT CASE WHEN SALDO > 50 THEN 'alto' ELSE 'bajo' END + '!' FROM CLIENTES WHERE "
             "CODIGO = 1",
             {"alto!"});
        fila("suma numerica",
             "SELECT SALDO + CODIGO + 1, -CODIGO + 5 FROM CLIENTES WHERE CODIGO = 2", {"23|3"});
        fila(
            "suma de case con condicion de texto",
            "SELECT CASE WHEN ZONA = 'norte' THEN 1 ELSE 2 END + 10 FROM CLIENTES WHERE CODIGO = 1",
            {"11"});
        fila("suma en parentesis", "SELECT (CODIGO + 1) * 2 FROM CLIENTES WHERE CODIGO = 2", {"6"});
        fila(
            "charindex",
            "SELECT CHARINDEX('R', NOMBRE), CHARINDEX('z', NOMBRE), CHARINDEX('a', NOMBRE, 3) FROM "
            "CLIENTES WHERE CODIGO = 3",
            {"3|0|5"});
        fila(
            "left y right como funciones",
            "SELECT LEFT(NOMBRE, 2), RIGHT(RTRIM(NOMBRE), 2) FROM CLIENTES c LEFT OUTER JOIN CFG f "
            "ON f.CLAVE = c.ZONA WHERE CODIGO = 3",
            {"ca|la"});
        fila(
            "cast a nvarchar corta",
            "SELECT CAST(NOMBRE AS NVARCHAR(3)), CAST(ALTA AS DATE) FROM CLIENTES WHERE CODIGO = 2",
            {"Bob|2024-02-15"});
        fila("subcadena agrupada",
             "SELECT TIPO_REG,SUBSTRING(TIPO_REG,1,1) AS LETRA, SUM(IMPORTE) AS TOTAL FROM "
             "MV_ASIENTOS WHERE PERIODO = 2024 GROUP BY TIPO_REG, SUBSTRING(TIPO_REG,1,1)",
             {"A|A|30", "B|B|5"});
        fila("fechas por partes",
             "SELECT DATEPART(mm, ALTA), YEAR(ALTA), MONTH(ALTA), DAY(ALTA), DATEDIFF(day, "
             "'31/01/2024', ALTA), DATEADD(month, 1, '2024-01-31') FROM CLIENTES WHERE CODIGO = 2",
             {"2|2024|2|15|15|2024-02-29"});
        fila("no menor que", "SELECT CODIGO FROM CLIENTES WHERE CODIGO !< 4", {"4"});
        fila("current_timestamp es hoy",
             "SELECT COUNT(*) FROM CLIENTES WHERE DATEDIFF(day, CURRENT_TIMESTAMP, GETDATE()) = 0",
             {"4"});
    }
    void consultas() {
        QFETCH(QString, tsql);
        QFETCH(QStringList, esperado);
        const Resultado r = Corre(tsql);
        QVERIFY2(r.error.isEmpty(),
                 qPrintable(r.error + QStringLiteral(" <- ") + ReescribeTSql(tsql)));
        QCOMPARE(r.filas, esperado);
    }

    // A batch that changes data, then a query that shows what it left.
    void lotes_data() {
        QTest::addColumn<QString>("lote");
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("esperado");
        const auto fila = [](const char* nombre, const char* lote, const char* consulta,
                             QStringList esperado) {
            QTest::newRow(nombre) << QString::fromUtf8(lote) << QString::fromUtf8(consulta)
                                  << esperado;
        };
        fila("delete sin from borra solo lo pedido", "delete CLIENTES WHERE CODIGO = 3",
             "SELECT CODIGO FROM CLIENTES ORDER BY CODIGO", {"1", "2", "4"});
        fila("delete sin from ni where", "DELETE dbo.MV_ASIENTOS",
             "SELECT COUNT(*) FROM MV_ASIENTOS", {"0"});
        fila("delete from intacto", "DELETE FROM CLIENTES WHERE ZONA = 'NORTE'",
             "SELECT CODIGO FROM CLIENTES ORDER BY CODIGO", {"2", "3"});
        fila("transaccion confirmada",
             "BEGIN TRANSACTION \r\rINSERT INTO MOV (IDREPARTO, CANT) VALUES (7, 1)\rINSERT INTO "
             "MOV (IDREPARTO, CANT) VALUES (7, 2)\rCOMMIT TRANSACTION\r",
             "SELECT SUM(CANT) FROM MOV WHERE IDREPARTO = 7", {"3"});
        fila("transaccion deshecha no deja nada",
             "BEGIN TRAN t1\nINSERT INTO MOV (IDREPARTO, CANT) VALUES (8, 1)\nUPDATE CLIENTES SET "
             "ZONA = 'X' WHERE CODIGO = 1\nROLLBACK TRANSACTION t1",
             "SELECT (SELECT COUNT(*) FROM MOV), ZONA FROM CLIENTES WHERE CODIGO = 1", {"0|NORTE"});
        fila("set nocount y go",
             "SET NOCOUNT ON\nINSERT INTO MOV (IDREPARTO, CANT) VALUES (1, 5)\nGO\nSET XACT_ABORT "
             "ON;\nSET DATEFORMAT dmy\nINSERT INTO MOV (IDREPARTO, CANT) VALUES (1, 6)\ngo\n",
             "SELECT SUM(CANT) FROM MOV", {"11"});
        fila("insert select con top",
             "INSERT INTO MOV (IDREPARTO, CANT) SELECT TOP 2 CODIGO, CODIGO * 10 FROM CLIENTES "
             "ORDER BY CODIGO DESC",
             "SELECT IDREPARTO, CANT FROM MOV ORDER BY IDREPARTO", {"3|30", "4|40"});
        fila("insert conserva el texto de fecha",
             "INSERT INTO CFG (CLAVE, VALOR) VALUES ('F', '31/01/2024')",
             "SELECT VALOR FROM CFG WHERE CLAVE = 'f'", {"31/01/2024"});
        fila("update set conserva el texto de fecha",
             "UPDATE CLIENTES SET NOMBRE = '31/01/2024' WHERE CODIGO = 3",
             "SELECT NOMBRE FROM CLIENTES WHERE CODIGO = 3", {"31/01/2024"});
        fila("update con concatenacion",
             "UPDATE CLIENTES SET NOMBRE = RTRIM(NOMBRE) + '*' WHERE LTRIM(RTRIM(NOMBRE)) = 'ana'",
             "SELECT NOMBRE FROM CLIENTES WHERE CODIGO = 1", {"ANA*"});
        fila("update con top en subconsulta",
             "UPDATE CLIENTES SET SALDO = (SELECT TOP 1 IMPORTE FROM MV_ASIENTOS ORDER BY IMPORTE) "
             "WHERE NOMBRE = 'BOB'",
             "SELECT SALDO FROM CLIENTES WHERE CODIGO = 2", {"5"});
        fila("alter table add con default",
             "ALTER TABLE dbo.CLIENTES ADD ZONA2 varchar(10) Null  CONSTRAINT DF_CLIENTES_ZONA2 "
             "DEFAULT ('N')",
             "SELECT COUNT(*) FROM CLIENTES WHERE ZONA2 = LOWER('N')", {"4"});
        fila("create table con columna de texto",
             "CREATE TABLE [dbo].[T2] (ID int PRIMARY KEY, C nvarchar(5) NOT NULL)\nINSERT INTO "
             "T2 VALUES (1, 'Abc')",
             "SELECT COUNT(*) FROM T2 WHERE C = LOWER('ABC')", {"1"});
        fila("cte seguida de otra sentencia",
             "WITH c AS (SELECT TOP 1 CODIGO FROM CLIENTES ORDER BY CODIGO DESC) DELETE FROM "
             "CLIENTES WHERE CODIGO IN (SELECT CODIGO FROM c)\nDELETE MOV",
             "SELECT CODIGO FROM CLIENTES ORDER BY CODIGO", {"1", "2", "3"});
        fila("truncate table", "TRUNCATE TABLE MV_ASIENTOS", "SELECT COUNT(*) FROM MV_ASIENTOS",
             {"0"});
        fila("guardado de un reparto",
             "delete MOV WHERE IDREPARTO = 2\r\nINSERT INTO MOV (IDREPARTO, CANT) VALUES (2, 4)\r\n"
             "INSERT INTO MOV (IDREPARTO, CANT) VALUES (2, 6) SELECT TOP 1 CANT FROM MOV",
             "SELECT COUNT(*), SUM(CANT) FROM MOV", {"2|10"});
    }
    void lotes() {
        QFETCH(QString, lote);
        QFETCH(QString, consulta);
        QFETCH(QStringList, esperado);
        const Resultado r = Corre(lote);
        QVERIFY2(r.error.isEmpty(),
                 qPrintable(r.error + QStringLiteral(" <- ") + ReescribeTSql(lote)));
        const Resultado c = Corre(consulta);
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
        QCOMPARE(c.filas, esperado);
    }

    // Where the exact text matters: what the engine is given, or what must stay untouched.
    void texto_data() {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("esperado");
        const auto fila = [](const char* nombre, const char* tsql, const char* esperado) {
            QTest::newRow(nombre) << QString::fromUtf8(tsql) << QString::fromUtf8(esperado);
        };
        const auto igual = [](const char* nombre, const char* tsql) {
            QTest::newRow(nombre) << QString::fromUtf8(tsql) << QString::fromUtf8(tsql);
        };
        igual("basura", ")) (( ' ' END END CASE TOP ( , ;");
        fila("pista con blancos y mayusculas", "SELECT A FROM T WITH ( NoLock ) WHERE B = 1",
             "SELECT A FROM T WHERE B = 1");
        fila("varias pistas",
             "SELECT A FROM T WITH (NOLOCK, INDEX(IX_A)) JOIN U with(nolock) ON 1=1",
             "SELECT A FROM T JOIN U ON 1=1");
        fila("pista pegada a la palabra siguiente", "SELECT A FROM T with(nolock)WHERE B = 1",
             "SELECT A FROM T WHERE B = 1");
        igual("left join intacto", "SELECT A FROM T LEFT JOIN U ON 1=1 LEFT OUTER JOIN V ON 1=1");
        igual("delete from intacto", "DELETE FROM T WHERE A = 1");
        igual("insert values intacto", "INSERT INTO T (A, F) VALUES ('x', '31/01/2024')");
        igual("select de insert no corta",
              "INSERT INTO T (A) SELECT A FROM U UNION SELECT B FROM V");
        igual("vista no se corta", "CREATE VIEW V AS SELECT A FROM T");
        igual("acciones de clave foranea",
              "CREATE TABLE H (P int REFERENCES M(ID) ON DELETE CASCADE ON UPDATE NO ACTION)");
        igual("trigger de sqlite",
              "CREATE TRIGGER tr AFTER INSERT ON T BEGIN UPDATE U SET A = 1; DELETE FROM V; END");
        igual("collate escrito", "SELECT * FROM T WHERE A = 'x' COLLATE NOCASE");
        igual("rollback a un punto", "ROLLBACK TO p1");
        fila(
            "lote separado por punto y coma",
            "BEGIN TRANSACTION \r\rINSERT INTO A (x) VALUES (1)\rUPDATE B SET y = 2  WHERE z = 3\r",
            "BEGIN TRANSACTION; \r\rINSERT INTO A (x) VALUES (1);\rUPDATE B SET y = 2  WHERE z = "
            "3\r");
        fila("puntos y comas de sobra", "SELECT 1;; SELECT 2;", "SELECT 1; SELECT 2;");
        fila("set transaction descartado",
             "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED\nSELECT 1", "\nSELECT 1");
        fila("top con parametro", "SELECT TOP @n A FROM T ORDER BY A",
             "SELECT A FROM T ORDER BY A LIMIT @n");
        fila("commit con nombre", "COMMIT TRAN t1", "COMMIT TRANSACTION");
        fila("limit antes del comentario final", "SELECT TOP 3 A FROM T -- fin",
             "SELECT A FROM T LIMIT 3 -- fin");
        fila("limit antes del punto y coma", "SELECT TOP 3 A FROM T; SELECT 1",
             "SELECT A FROM T LIMIT 3; SELECT 1");
        fila("comillas dentro de corchetes", "SELECT [a\"b]]c] FROM T",
             "SELECT \"a\"\"b]c\" FROM T");
        fila("convert con largo", "SELECT CONVERT(varchar(10), F, 103) FROM T",
             "SELECT TSQL_CONVERT('VARCHAR(10)', F, 103) FROM T");
        fila("partes de fecha como texto", "SELECT DATEADD(dd, 1, F)",
             "SELECT DATEADD('dd', 1, F)");
        fila("fecha en set no se toca, en where si",
             "UPDATE T SET F = '31/01/2024' WHERE G <= '31/01/24'",
             "UPDATE T SET F = '31/01/2024' WHERE G <= '2024-01-31'");
        fila("fecha iso con hora cero", "SELECT 1 WHERE F = '2024-01-31 00:00:00'",
             "SELECT 1 WHERE F = '2024-01-31'");
        igual("fecha imposible intacta", "SELECT 1 WHERE F = '31/02/2024'");
        igual("columna mas columna no se detecta", "SELECT NOMBRE + ZONA FROM T");
    }
    void texto() {
        QFETCH(QString, tsql);
        QFETCH(QString, esperado);
        QCOMPARE(ReescribeTSql(tsql), esperado);
    }

    void funciones_data() {
        QTest::addColumn<QString>("expresion");
        QTest::addColumn<QString>("esperado"); // "ERROR:" + part of the message for a failure
        const auto fila = [](const char* nombre, const char* expr, const char* esperado) {
            QTest::newRow(nombre) << QString::fromUtf8(expr) << QString::fromUtf8(esperado);
        };
        fila("len de numero", "LEN(123)", "3");
        fila("len con acentos", "LEN(N'ñandú  ')", "5");
        fila("left con acentos", "LEFT(N'ñandú', 2)", "ña");
        fila("right mas largo que el texto", "RIGHT('ab', 5)", "ab");
        fila("left negativo", "LEFT('ab', -1)", "ERROR:Invalid length");
        fila("charindex vacio", "CHARINDEX('', 'abc')", "0");
        fila("charindex nulo", "CHARINDEX(NULL, 'abc')", "NULL");
        fila("space", "'[' + SPACE(3) + ']'", "[   ]");
        fila("replicate", "REPLICATE('ab', 3)", "ababab");
        fila("replicate hasta 8000", "LEN(REPLICATE('abc', 5000))", "8000");
        fila("replicate negativo", "REPLICATE('ab', -1)", "NULL");
        fila("str redondea mitades hacia arriba", "STR(12.5, 6)", "    13");
        fila("str por omision", "STR(42)", "        42");
        fila("str con decimales", "STR(3.14159, 6, 2)", "  3.14");
        fila("str que no cabe", "STR(123456, 3)", "***");
        fila("convert estilo 3", "CONVERT(VARCHAR(8), '2024-01-31', 3)", "31/01/24");
        fila("convert estilo 112", "CONVERT(CHAR(8), '2024-01-31 10:00', 112)", "20240131");
        fila("convert estilo 108", "CONVERT(VARCHAR, '2024-02-15 10:30:05', 108)", "10:30:05");
        fila("convert estilo 120", "CONVERT(VARCHAR(19), '2024-02-15', 120)",
             "2024-02-15 00:00:00");
        fila("convert estilo 101", "CONVERT(VARCHAR, '2024-02-15', 101)", "02/15/2024");
        fila("convert de texto no fecha", "CONVERT(VARCHAR, 'abc', 103)", "abc");
        fila("convert char rellena", "CONVERT(CHAR(5), 'ab') + '|'", "ab   |");
        fila("convert varchar corta a 30", "LEN(CONVERT(VARCHAR, REPLICATE('x', 40)))", "30");
        fila("convert datetime desde dma", "CONVERT(DATETIME, '15/02/2024 10:30', 103)",
             "2024-02-15 10:30:00");
        fila("convert datetime desde mda", "CONVERT(DATETIME, '02/15/2024', 101)", "2024-02-15");
        fila("convert date desde 112", "CONVERT(DATE, '20240215 08:00', 112)", "2024-02-15");
        fila("convert smalldatetime redondea", "CONVERT(SMALLDATETIME, '2024-02-15 10:30:31')",
             "2024-02-15 10:31:00");
        fila("convert fecha imposible", "CONVERT(DATETIME, '31/02/2024')",
             "ERROR:date and/or time");
        fila("convert int", "CONVERT(INT, ' 42 ') + 1", "43");
        fila("convert int de texto vacio", "CONVERT(INT, '')", "0");
        fila("convert int trunca", "CONVERT(INT, -7.9)", "-7");
        fila("convert int invalido", "CONVERT(INT, '12.5')", "ERROR:Conversion failed");
        fila("convert int desborda", "CONVERT(SMALLINT, 40000)", "ERROR:overflow");
        fila("convert decimal redondea", "CONVERT(DECIMAL(10,2), '12.345')", "12.35");
        fila("convert decimal sin escala", "CONVERT(NUMERIC, 12.5)", "13");
        fila("convert numeric invalido", "CONVERT(NUMERIC(10,2), 'x1')", "ERROR:numeric");
        fila("convert bit de texto", "CONVERT(BIT, 'true') + CONVERT(BIT, 5)", "2");
        fila("convert float de texto vacio", "CONVERT(FLOAT, '')", "0.0");
        fila("convert time", "CONVERT(TIME, '2024-02-15 10:30:05')", "10:30:05");
        fila("cast a int", "CAST('17' AS INT) * 2", "34");
        fila("dateadd cruza medianoche", "DATEADD(hh, 2, '2024-01-31 23:00')",
             "2024-02-01 01:00:00");
        fila("dateadd hasta medianoche", "DATEADD(hour, 1, '2024-01-31 23:00:00')", "2024-02-01");
        fila("dateadd dias negativos", "DATEADD(dd, -1, '2024-03-01')", "2024-02-29");
        fila("dateadd anio bisiesto", "DATEADD(yy, 1, '29/02/2024')", "2025-02-28");
        fila("dateadd parte invalida", "DATEADD(xx, 1, '2024-01-01')", "ERROR:dateadd");
        fila("datediff anio", "DATEDIFF(year, '2023-12-31', '2024-01-01')", "1");
        fila("datediff mes", "DATEDIFF(month, '2024-01-31', '2024-02-01')", "1");
        fila("datediff cruza domingo", "DATEDIFF(week, '2024-01-06', '2024-01-07')", "1");
        fila("datediff misma semana", "DATEDIFF(week, '2024-01-07', '2024-01-13')", "0");
        fila("datediff hora", "DATEDIFF(hh, '2024-01-01 10:59', '2024-01-01 11:00')", "1");
        fila("datediff trimestre", "DATEDIFF(qq, '2024-03-31', '2024-04-01')", "1");
        fila("datediff minuto", "DATEDIFF(mi, '2024-01-01 10:00:59', '2024-01-01 10:01:00')", "1");
        fila("datepart lunes es 1", "DATEPART(dw, '2024-01-01')", "1");
        fila("datepart semana", "DATEPART(wk, '2024-01-08')", "2");
        fila("year de texto dma", "YEAR('31/01/2024')", "2024");
        fila("day de numero de dias", "DAY(31)", "1");
        fila("year nulo", "YEAR(NULL)", "NULL");
        fila("year de basura", "YEAR('abc')", "ERROR:date and/or time");
    }
    void funciones() {
        QFETCH(QString, expresion);
        QFETCH(QString, esperado);
        const Resultado r = Corre(QStringLiteral("SELECT ") + expresion);
        if (esperado.startsWith(u"ERROR:")) {
            QVERIFY2(r.error.contains(esperado.mid(6)), qPrintable(r.error));
            return;
        }
        QVERIFY2(r.error.isEmpty(),
                 qPrintable(r.error + QStringLiteral(" <- ") + ReescribeTSql(expresion)));
        QCOMPARE(r.filas, QStringList{esperado});
    }

    void getdateEsLaHoraLocal() {
        const QDateTime antes = QDateTime::currentDateTime().addSecs(-1);
        const Resultado r = Corre(QStringLiteral("SELECT GETDATE()"));
        const QDateTime despues = QDateTime::currentDateTime().addSecs(1);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.filas.size(), 1);
        const QString t = r.filas.first();
        QDateTime leida = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (t.size() == 10) // exactly midnight is written without the time
            leida = QDateTime(QDate::fromString(t, Qt::ISODate), QTime(0, 0));
        QVERIFY2(leida.isValid(), qPrintable(t));
        QVERIFY2(leida >= antes.addMSecs(-antes.time().msec()) && leida <= despues, qPrintable(t));
    }

    // Random but valid SQL Server SELECTs built from the forms the program uses: each must
    // come out as SQL that SQLite accepts.
    void generadasSonValidas() {
        const QStringList columnas = {"CODIGO",
                                      "LTRIM(RTRIM(NOMBRE))",
                                      "'x' + NOMBRE",
                                      "ISNULL(SALDO, 0) + 1",
                                      "CONVERT(NVARCHAR(10), ALTA, 103)",
                                      "LEFT(ZONA, 2)",
                                      "(SELECT TOP 1 c.CODIGO FROM CLIENTES c ORDER BY 1)",
                                      "CASE WHEN ZONA = 'sur' THEN 'S' ELSE NOMBRE + '.' END",
                                      "[NOMBRE]",
                                      "DATEADD(day, 1, ALTA)"};
        const QStringList condiciones = {"ZONA = 'norte'",
                                         "ALTA >= '01/01/2024'",
                                         "NOMBRE IN ('ana', 'BOB')",
                                         "SALDO BETWEEN 1 AND 50",
                                         "ALTA BETWEEN '01/01/24' AND #31/12/2024#",
                                         "NOMBRE LIKE '%a%'",
                                         "EXISTS (SELECT TOP 1 1 FROM CFG with(nolock))",
                                         "LEN(NOMBRE) > 2",
                                         "(CODIGO + 1) * 2 <> 4"};
        const QStringList pistas = {"", " with(nolock)", " WITH (NOLOCK)", " with ( nolock )"};
        QRandomGenerator azar(20240131);
        const auto elige = [&](const QStringList& l) { return l[int(azar.bounded(l.size()))]; };
        for (int n = 0; n < 300; ++n) {
            QString s = azar.bounded(2) ? QStringLiteral("SELECT ") : QStringLiteral("select ");
            if (azar.bounded(2))
                s += QStringLiteral("TOP %1 ").arg(azar.bounded(1, 5));
            const int nc = int(azar.bounded(1, 4));
            for (int c = 0; c < nc; ++c)
                s += (c ? QStringLiteral(", ") : QString()) + elige(columnas);
            s += QStringLiteral(" FROM dbo.CLIENTES") + elige(pistas);
            const int nw = int(azar.bounded(0, 3));
            for (int c = 0; c < nw; ++c)
                s += (c ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) + elige(condiciones);
            if (azar.bounded(2))
                s += QStringLiteral(" ORDER BY 1");
            const Resultado r = Corre(s);
            QVERIFY2(
                r.error.isEmpty(),
                qPrintable(QStringLiteral("%1\n  %2\n  %3").arg(r.error, s, ReescribeTSql(s))));
        }
    }

    // Every prefix of real statements: a prefix that leaves a literal open is refused with the
    // provider's syntax error; none may crash the rewriter or the registered functions.
    void prefijosNoRompen() {
        int abiertos = 0;
        for (const char* sentencia : kSentenciasReales) {
            const QString completa = QString::fromUtf8(sentencia);
            for (qsizetype n = 0; n <= completa.size(); ++n) {
                const QString prefijo = completa.left(n);
                if (QuedaAbierto(prefijo)) {
                    ++abiertos;
                    try {
                        ReescribeTSql(prefijo);
                        QFAIL(qPrintable(QStringLiteral("not refused: ") + prefijo));
                    } catch (const ado::Falla& f) {
                        QCOMPARE(f.Number, ado::codigo::DB_E_ERRORSINCOMMAND);
                    }
                } else {
                    // SQLite's errors are expected; only a crash would matter.
                    Ejecuta(db_, ReescribeTSql(prefijo));
                }
            }
        }
        QVERIFY2(abiertos > 50, qPrintable(QString::number(abiertos)));
    }
};

QTEST_GUILESS_MAIN(TstReescritorTSql)
#include "tst_reescritortsql.moc"
