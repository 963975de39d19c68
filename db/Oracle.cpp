// Oracle: the program's SQL Server text rewritten into Oracle's dialect, and
// scripts cut into the single statements Oracle takes.

#include "Auxiliares.h"
#include "db/DB_Dll.h"
#include "platform/Utilidades.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

using namespace db::detalle;

namespace {

constexpr auto CI = Qt::CaseInsensitive;

ado::Falla argumentoInvalido() {
    return ado::Falla(5, QStringLiteral("Invalid procedure call or argument"),
                      QStringLiteral("DB_Dll"));
}

// Whether the operator writes the day before the month.
bool diaPrimero() {
    const QString formato = Utilidades::LocaleOperador().dateFormat(QLocale::ShortFormat);
    const auto d = formato.indexOf(u'd');
    const auto m = formato.indexOf(u'M');
    return d < 0 || m < 0 || d < m;
}

// A literal that is a date: the operator's day/month/year (or month/day/year)
// order, or year-month-day. A time of day makes it no plain date. Not the
// layer's InterpretaFecha: this one follows the operator's order and leaves
// "20240131" and dated times alone, as the dialect rule has always done.
std::optional<QDate> leeFecha(const QString& literal) {
    static const QRegularExpression local(
        QStringLiteral("^ *(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2}) *$"));
    static const QRegularExpression iso(
        QStringLiteral("^ *(\\d{4})([/.-])(\\d{1,2})\\2(\\d{1,2}) *$"));
    int anio = 0;
    int mes = 0;
    int dia = 0;
    if (const auto m = iso.match(literal); m.hasMatch()) {
        anio = m.captured(1).toInt();
        mes = m.captured(3).toInt();
        dia = m.captured(4).toInt();
    } else if (const auto l = local.match(literal); l.hasMatch()) {
        const int a = l.captured(1).toInt();
        const int b = l.captured(3).toInt();
        dia = diaPrimero() ? a : b;
        mes = diaPrimero() ? b : a;
        anio = l.captured(4).toInt();
        if (l.captured(4).size() == 2)
            anio += anio < 30 ? 2000 : 1900;
    } else {
        return std::nullopt;
    }
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid())
        return std::nullopt;
    return fecha;
}

// TOP n to a ROWNUM condition placed before the GROUP BY or ORDER BY tail.
QString reglaTop(const QString& valor) {
    const auto p = valor.indexOf(QLatin1String("top"), 0, CI);
    const QString antes = valor.left(p);
    const QString r = SinBlancos(valor.mid(p + 3));
    const auto blanco = r.indexOf(u' ');
    if (blanco < 0)
        throw argumentoInvalido();
    const QString limite = r.left(blanco);
    QString resto = r.mid(blanco + 1);
    QString grupo;
    QString orden;
    if (const auto g = valor.indexOf(QLatin1String(" GROUP BY "), 0, CI); g >= 0)
        grupo = valor.mid(g);
    else if (const auto o = valor.indexOf(QLatin1String("ORDER BY "), 0, CI); o >= 0)
        orden = valor.mid(o);
    const QString condicion = Contiene(valor, QStringLiteral(" WHERE "))
                                  ? QStringLiteral(" AND ROWNUM <= ") + limite
                                  : QStringLiteral(" WHERE ROWNUM <= ") + limite;
    if (const QString g = SinBlancos(grupo); !g.isEmpty())
        resto.replace(g, QStringLiteral(" "), CI);
    if (const QString o = SinBlancos(orden); !o.isEmpty())
        resto.replace(o, QStringLiteral(" "), CI);
    return antes + u' ' + resto + u' ' + condicion + u' ' + grupo + u' ' + orden;
}

// Date literals to TO_DATE calls, leaving one call where there was one already.
QString reglaFechas(const QString& w) {
    QString c = w;
    qsizetype desde = 0;
    for (;;) {
        const auto a = w.indexOf(u'\'', desde);
        if (a < 0)
            break;
        const auto b = w.indexOf(u'\'', a + 1);
        if (b < 0)
            throw argumentoInvalido(); // an apostrophe without its pair
        const QString literal = w.mid(a + 1, b - a - 1);
        if (const auto fecha = leeFecha(literal))
            c.replace(u'\'' + literal + u'\'',
                      QStringLiteral("TO_DATE('") + fecha->toString(QStringLiteral("dd/MM/yyyy")) +
                          QStringLiteral("','DD/MM/YYYY')"),
                      CI);
        desde = b + 1;
    }
    while (c.contains(QLatin1String("TO_DATE(TO_DATE("), CI)) {
        c.replace(QStringLiteral("TO_DATE(TO_DATE("), QStringLiteral("TO_DATE("), CI);
        c.replace(QStringLiteral("'DD/MM/YYYY'),'DD/MM/YYYY')"), QStringLiteral("'DD/MM/YYYY')"),
                  CI);
    }
    return c;
}

// Style 103 of a date converted to text is Oracle's DD/MM/YYYY format.
QString reglaEstilo103(QString w) {
    qsizetype i = w.indexOf(QLatin1String("103"));
    while (i >= 0) {
        const auto abre = w.lastIndexOf(u'(', i);
        if (abre >= 7 && w.mid(abre - 7, 8).compare(QLatin1String("TO_CHAR("), CI) == 0)
            w.replace(i, 3, QStringLiteral("'DD/MM/YYYY'"));
        i = w.indexOf(QLatin1String("103"), i + 3);
    }
    return w;
}

} // namespace

QString DB_Dll::ORACLE_Dicc(const QString& Valor) const {
    if (!Contiene(gConnString, QStringLiteral("ORACLE")))
        return Valor;
    if (Utilidades::CuentaPalabras(Valor) <= 1)
        return Valor.compare(QLatin1String("LEN"), CI) == 0 ? QStringLiteral("LENGTH") : Valor;

    QString w = Valor;
    if (Contiene(Valor, QStringLiteral("top ")))
        w = reglaTop(Valor);
    for (const char* len : {" LEN(", " LEN (", " LEN  (", " LEN   (", " LEN    ("})
        w.replace(QLatin1String(len), QLatin1String(" LENGTH("), CI);
    w.replace(u'[', u'"');
    w.replace(u']', u'"');
    w = reglaFechas(w);
    w.replace(QLatin1String("Charindex"), QLatin1String("InStr"), CI);
    w.replace(QLatin1String("CONVERT(NVARCHAR,"), QLatin1String("TO_CHAR("), CI);
    w.replace(QLatin1String("CONVERT(INT,"), QLatin1String("TO_NUMBER("), CI);
    if (const auto donde = w.indexOf(QLatin1String("WHERE "), 0, CI); donde >= 0) {
        // Oracle keeps an empty text as NULL, so "= ''" never holds there.
        QString cola = w.mid(donde);
        cola.replace(QLatin1String("= ''"), QLatin1String(" IS NULL "), CI);
        cola.replace(QLatin1String("=''"), QLatin1String(" IS NULL "), CI);
        w = w.left(donde) + cola;
    }
    w = reglaEstilo103(w);
    w.replace(QLatin1String("SUBSTRING("), QLatin1String("SUBSTR("), CI);
    w.replace(QLatin1String("ISNULL("), QLatin1String("NVL("), CI);
    return w;
}

// ---------------------------------------------------------------- scripts

QString DB_Dll::FiltraSentencia(QString& Sentencia) {
    if (Contiene(Sentencia, QStringLiteral("SET NOCOUNT")) ||
        Contiene(Sentencia, QStringLiteral("IF NOT EXIST")))
        Sentencia.clear();
    return Sentencia;
}

void DB_Dll::EjecutaScript(QString& Script, long& RecordsAffected) {
    static const std::pair<const char*, const char*> normaliza[] = {
        {"SET NOCOUNT ON", ""},
        {"SET NOCOUNT OFF", ""},
        {" GO ", " "},
        {"\r\nGO ", " "},
        {"\r\nGO\r\n", " "},
        {"\r", " "},
        {"BEGIN TRANSACTION", "SET TRANSACTION"},
        {"BEGIN TRANS", "SET TRANSACTION"},
        {"COMMIT TRANSACTION", "COMMIT"},
        {"COMMIT TRANS", "COMMIT"},
        {"ROLLBACK TRANSACTION", "ROLLBACK"},
        {"ROLLBACK TRANS", "ROLLBACK"},
    };
    static const char* const claves[] = {"INSERT ",  "DELETE ",      "UPDATE ",         "CREATE ",
                                         "DROP ",    "ALTER ",       "SET TRANSACTION", "COMMIT",
                                         "ROLLBACK", "IF NOT EXIST", "IF EXIST",        "GRANT "};
    // Positions count from 1; this one, and any beyond, means "no keyword".
    constexpr qsizetype kNinguna = 1999999;
    const auto primeraClave = [&](qsizetype desde) {
        qsizetype menor = kNinguna;
        for (const char* clave : claves) {
            const auto i = Script.indexOf(QLatin1String(clave), desde - 1, CI);
            if (i >= 0 && i + 1 < menor)
                menor = i + 1;
        }
        return menor;
    };

    for (const auto& [busca, pone] : normaliza)
        Script.replace(QLatin1String(busca), QLatin1String(pone), CI);

    ado::Connection& cn = gCnn();
    for (;;) {
        const qsizetype inicio = primeraClave(1);
        if (inicio >= kNinguna)
            break;
        const qsizetype siguiente = primeraClave(inicio + 1);
        const qsizetype fin = siguiente >= kNinguna ? Script.size() : siguiente - 1;
        // Line feeds stay in the text: they are trimmed with the blanks.
        const QString sentencia = Script.mid(inicio - 1, fin - inicio + 1).trimmed();
        if (sentencia.compare(QLatin1String("SET TRANSACTION"), CI) == 0) {
            cn.BeginTrans();
        } else if (sentencia.compare(QLatin1String("COMMIT"), CI) == 0) {
            cn.CommitTrans();
        } else if (sentencia.compare(QLatin1String("ROLLBACK"), CI) == 0) {
            cn.RollbackTrans();
        } else {
            QString oracle = ORACLE_Dicc(sentencia);
            if (!SinBlancos(FiltraSentencia(oracle)).isEmpty()) {
                long filas = 0;
                cn.Execute(oracle, &filas, nullptr, -1);
                if (filas > 0)
                    RecordsAffected += filas;
            }
        }
        Script = Script.mid(fin);
    }
    if (cn.Errors().Count() == 1 && cn.Errors().Item(0).Number == 265929)
        cn.Errors().Clear();
}
