// The rewrite rules, one function each, in the order the table of ReescritorTSql.cpp
// applies them. A rule returns the next token to take when it wrote the token, or -1
// to let the next rule look at it.

#include "ado/sqlite/Calendario.h"
#include "ado/sqlite/Reescritor.h"
#include "platform/Texto.h"

namespace ado::sqlite {

namespace {

// The literal without N and without its quotes.
QStringView CuerpoDeCadena(QStringView src, const Pieza& k) {
    return src.sliced(k.inicio + (k.prefijoN ? 2 : 1), k.largo - (k.prefijoN ? 3 : 2));
}

// Only letters and the few marks between 'Z' and 'a' order differently under NOCASE;
// leaving digits and dates without COLLATE keeps their indexes usable.
bool NecesitaColacion(QStringView s) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '[' && u <= '`'))
            return true;
    }
    return false;
}

// A date literal as canonical text between apostrophes, or an empty text.
QLatin1String FechaCanonica(QStringView cuerpo, unsigned formas, char (&fecha)[40]) {
    FechaHora f;
    if (!LeeFecha(cuerpo.utf16(), cuerpo.utf16() + cuerpo.size(), formas, f))
        return {};
    fecha[0] = '\'';
    const int largo = FormateaCanonica(f, fecha + 1);
    fecha[largo + 1] = '\'';
    return QLatin1String(fecha, largo + 2);
}

} // namespace

// ---------------------------------------------------------------- statements

// DELETE T [WHERE ...]: SQLite wants its FROM.
int Reescritor::DeleteSinFrom(int i) {
    if (st_.tokens != 1)
        return -1;
    const Pieza& sig = T(i + 1);
    const bool nombre = (sig.tipo == Tk::Palabra && !(sig.banderas & F_CLAVE)) ||
                        sig.tipo == Tk::Corchete || sig.tipo == Tk::Comillas;
    if (!nombre)
        return -1;
    Emite(i);
    Agrega(u" FROM");
    return i + 1;
}

int Reescritor::TruncateTable(int i) {
    if (st_.tokens != 1 || IdEn(i + 1) != kTable)
        return -1;
    st_.tipo = kDelete;
    niveles_.front().enConsulta = true;
    EmiteComo(i, u"DELETE FROM");
    Salta(i + 1);
    return i + 2;
}

// ---------------------------------------------------------------- table hints and owners

// WITH (NOLOCK, INDEX(x)) and OPTION (...): dropped whole.
int Reescritor::PistasWith(int i) {
    const Pieza& k = t_[size_t(i)];
    if ((k.id == kWith && TipoEn(i + 1) == Tk::AbreParen && (T(i + 2).banderas & F_PISTA)) ||
        (k.id == kOption && TipoEn(i + 1) == Tk::AbreParen && EnRaiz())) {
        const int c = CierreDe(i + 1);
        if (c > 0) {
            SaltaHasta(i, c);
            return c + 1;
        }
    }
    return -1;
}

// T (NOLOCK) after a table name or alias.
bool Reescritor::EsPistaSuelta(int i) const {
    return TipoEn(i + 1) == Tk::AbreParen && T(i + 2).tipo == Tk::Palabra &&
           (T(i + 2).banderas & F_PISTA) && T(i + 2).id != kIndex &&
           TipoEn(i + 3) == Tk::CierraParen;
}

int Reescritor::PistaSuelta(int i) {
    const Pieza& k = t_[size_t(i)];
    if ((k.tipo == Tk::Palabra && (k.banderas & F_CLAVE)) || !EsPistaSuelta(i))
        return -1;
    if (k.tipo == Tk::Corchete)
        EmiteCorchete(i);
    else
        Emite(i);
    Arriba().ultimoOperando = true;
    SaltaHasta(i + 1, i + 3);
    return i + 4;
}

// dbo.T and [dbo].T: SQLite has no owners.
int Reescritor::QuitaDbo(int i) {
    const Pieza& k = t_[size_t(i)];
    if (TipoEn(i + 1) != Tk::Punto)
        return -1;
    if (k.tipo == Tk::Corchete) {
        if (src_.sliced(k.inicio + 1, k.largo - 2).compare(u"dbo", Qt::CaseInsensitive) != 0)
            return -1;
    } else if (k.id != kDbo || (TipoEn(i + 2) != Tk::Palabra && TipoEn(i + 2) != Tk::Corchete &&
                                TipoEn(i + 2) != Tk::Comillas)) {
        return -1;
    }
    Salta(i);
    Salta(i + 1);
    return i + 2;
}

// ---------------------------------------------------------------- column definitions

// Column definitions: a character column without a collation gets NOCASE after its type,
// written by the walk once the type's last token is out.
void Reescritor::AvanzaDefinicion(int i) {
    Nivel& n = Arriba();
    if (!n.defs || n.posDef < 0)
        return;
    const Pieza& k = t_[size_t(i)];
    if (n.posDef == 0) {
        if (k.tipo == Tk::Palabra && (k.banderas & F_RESTRICCION))
            n.posDef = -1;
        else if (!(k.tipo == Tk::Palabra && k.id == kColumn))
            n.posDef = 1;
        return;
    }
    n.posDef = -1;
    if (k.tipo != Tk::Palabra || !(k.banderas & F_TIPO_TEXTO))
        return;
    int ultimo = i;
    if (TipoEn(i + 1) == Tk::AbreParen) {
        ultimo = CierreDe(i + 1);
        if (ultimo < 0)
            return;
    }
    int prof = 0;
    for (int j = ultimo + 1; j < fin_; ++j) {
        const Pieza& x = t_[size_t(j)];
        if (x.tipo == Tk::AbreParen)
            ++prof;
        else if (x.tipo == Tk::CierraParen && --prof < 0)
            break;
        else if (x.tipo == Tk::PuntoComa || (prof == 0 && x.tipo == Tk::Coma))
            break;
        else if (x.tipo == Tk::Palabra && x.id == kCollate)
            return;
        else if (EnRaiz() && x.tipo == Tk::Palabra && (x.banderas & F_SENTENCIA))
            break;
    }
    colateTras_ = ultimo;
}

int Reescritor::ColumnaDeTexto(int i) {
    AvanzaDefinicion(i);
    return -1;
}

// ---------------------------------------------------------------- functions

int Reescritor::Isnull(int i) {
    if (!EsLlamada(i))
        return -1;
    EmiteComo(i, u"IFNULL");
    return i + 1;
}

// LEFT( and RIGHT( are keywords to SQLite: the registered TSQL_LEFT and TSQL_RIGHT.
int Reescritor::LeftRight(int i) {
    const uint16_t id = t_[size_t(i)].id;
    if ((id != kLeft && id != kRight) || !EsLlamada(i))
        return -1;
    EmiteComo(i, id == kLeft ? QStringView(u"TSQL_LEFT") : QStringView(u"TSQL_RIGHT"));
    return i + 1;
}

int Reescritor::ScopeIdentity(int i) {
    if (!EsLlamada(i))
        return -1;
    EmiteComo(i, u"last_insert_rowid");
    return i + 1;
}

// CONVERT(type[(n[,m])], x [, style]) -> TSQL_CONVERT('TYPE(n,m)', x [, style])
int Reescritor::Convert(int i) {
    if (!EsLlamada(i))
        return -1;
    const Pieza& tipo = T(i + 2);
    if (tipo.tipo != Tk::Palabra && tipo.tipo != Tk::Corchete)
        return -1;
    int j = i + 3;
    if (TipoEn(j) == Tk::AbreParen) {
        j = CierreDe(j);
        if (j < 0)
            return -1;
        ++j;
    }
    if (TipoEn(j) != Tk::Coma)
        return -1;
    QString nombre;
    for (int m = i + 2; m < j; ++m) {
        QStringView s = Texto(m);
        if (t_[size_t(m)].tipo == Tk::Corchete)
            s = s.sliced(1, s.size() - 2);
        nombre += s.toString().toUpper();
    }
    EmiteComo(i, u"TSQL_CONVERT");
    AbreNivel(i + 1, (tipo.banderas & F_TIPO_TEXTO) ? Devuelve::Texto : Devuelve::Otro, true);
    out_ += u'\'';
    out_ += plataforma::DuplicaComillas(nombre);
    Agrega(u"',");
    SaltaHasta(i + 2, j);
    necesitaEspacio_ = false;
    return j + 1;
}

// CAST(x AS type) -> TSQL_CAST(x, 'TYPE'): SQLite's CAST would read '2024-01-31' AS DATE
// as the number 2024 and never cut a VARCHAR(n). The AS and the type are written when the
// walk reaches them (TipoDeCast).
int Reescritor::Cast(int i) {
    if (!EsLlamada(i))
        return -1;
    const int c = CierreDe(i + 1);
    int as = -1;
    int prof = 0;
    for (int j = i + 2; j < c; ++j) {
        const Pieza& x = t_[size_t(j)];
        if (x.tipo == Tk::AbreParen)
            ++prof;
        else if (x.tipo == Tk::CierraParen)
            --prof;
        else if (prof == 0 && x.tipo == Tk::Palabra && x.id == kAs)
            as = j;
    }
    if (c < 0 || as < 0 || as + 1 >= c || TipoEn(as + 1) != Tk::Palabra)
        return -1;
    EmiteComo(i, u"TSQL_CAST");
    AbreNivel(i + 1, (T(as + 1).banderas & F_TIPO_TEXTO) ? Devuelve::Texto : Devuelve::Otro, true);
    Arriba().castAs = as;
    Arriba().castFin = c;
    return i + 2;
}

int Reescritor::TipoDeCast(int i) {
    Nivel& n = Arriba();
    if (n.castAs != i)
        return -1;
    TerminaCadena(n);
    QString tipo;
    for (int j = i + 1; j < n.castFin; ++j) {
        const Pieza& x = t_[size_t(j)];
        if (x.tipo == Tk::Cadena)
            continue;
        QStringView s = Texto(j);
        if (x.tipo == Tk::Corchete)
            s = s.sliced(1, s.size() - 2);
        tipo += s.toString().toUpper();
    }
    Agrega(u", '");
    out_ += plataforma::DuplicaComillas(tipo);
    out_ += u'\'';
    const int c = n.castFin;
    n.castAs = -1;
    SaltaHasta(i, c - 1);
    necesitaEspacio_ = false;
    return c;
}

// The date part is a bare word in SQL Server; the registered functions take it as text.
int Reescritor::PartesDeFecha(int i) {
    const uint16_t id = t_[size_t(i)].id;
    if ((id != kDateadd && id != kDatediff && id != kDatepart) || !EsLlamada(i) ||
        TipoEn(i + 2) != Tk::Palabra || TipoEn(i + 3) != Tk::Coma)
        return -1;
    Emite(i);
    AbreNivel(i + 1);
    EmiteTrivia(i + 2);
    out_ += u'\'';
    out_.append(Texto(i + 2));
    out_ += u'\'';
    return i + 3;
}

// Any other function: as written; its "(" opens a level that knows what it returns.
int Reescritor::Llamada(int i) {
    if (!EsLlamada(i))
        return -1;
    Emite(i);
    return i + 1;
}

int Reescritor::ValoresDelServidor(int i) {
    const Pieza& k = t_[size_t(i)];
    if (k.banderas & F_CLAVE)
        return -1;
    if (k.id == kCurrentTimestamp)
        EmiteComo(i, u"GETDATE()");
    else if (k.id == kArrobaIdentity)
        EmiteComo(i, u"last_insert_rowid()");
    else
        return -1;
    Arriba().ultimoOperando = true;
    return i + 1;
}

// ---------------------------------------------------------------- TOP -> LIMIT

void Reescritor::EmiteLimite(Nivel& n) {
    Agrega(u" LIMIT ");
    if (n.limA == n.limB && t_[size_t(n.limA)].tipo != Tk::AbreParen) {
        out_.append(Texto(n.limA));
    } else {
        const int desde = t_[size_t(n.limA)].inicio;
        const int hasta = t_[size_t(n.limB)].inicio + t_[size_t(n.limB)].largo;
        out_ += u'(';
        out_.append(src_.sliced(desde, hasta - desde));
        out_ += u')';
    }
    n.limite = false;
}

// SELECT TOP n / TOP (n) / TOP @n: the LIMIT goes at the end of that SELECT, written when
// its level closes. TOP 100 PERCENT is dropped.
int Reescritor::Top(int i) {
    const uint16_t previo = IdEn(i - 1);
    if (previo != kSelect && previo != kDistinct && previo != kAll)
        return -1;
    int a = i + 1, b = i + 1, k = i + 2;
    if (TipoEn(i + 1) == Tk::AbreParen) {
        const int c = CierreDe(i + 1);
        if (c < 0 || c == i + 2)
            return -1;
        a = i + 2;
        b = c - 1;
        k = c + 1;
    } else if (TipoEn(i + 1) != Tk::Numero &&
               !(TipoEn(i + 1) == Tk::Palabra && Texto(i + 1).startsWith(u'@'))) {
        return -1; // TOP @n is a parameter for SQLite too
    }
    const bool porcentaje = IdEn(k) == kPercent;
    if (porcentaje)
        ++k;
    if (IdEn(k) == kWith && IdEn(k + 1) == kTies)
        return -1; // no equivalent; SQLite will say so
    if (porcentaje) {
        if (!(a == b && TipoEn(a) == Tk::Numero && Texto(a).toDouble() == 100.0))
            return -1;
    } else {
        Nivel& n = Arriba();
        n.limite = true;
        n.limA = a;
        n.limB = b;
    }
    SaltaHasta(i, k - 1);
    return k;
}

// A SELECT TOP n in a UNION branch: the branch becomes a subquery holding the LIMIT,
// which SQLite would otherwise apply to the whole compound.
void Reescritor::EnvuelveRama(Nivel& n) {
    out_.insert(n.posSelect, QStringView(u"SELECT * FROM ("));
    EmiteLimite(n);
    out_ += u')';
}

void Reescritor::CierraLimite(Nivel& n) {
    if (n.limite && n.compuesto)
        EnvuelveRama(n);
    else if (n.limite)
        EmiteLimite(n);
}

// ---------------------------------------------------------------- literals

bool Reescritor::OperandoDerechoTexto(int j) const {
    const Pieza& k = T(j);
    if (k.tipo == Tk::Cadena)
        return true;
    if (k.tipo != Tk::Palabra || TipoEn(j + 1) != Tk::AbreParen)
        return false;
    if (k.banderas & F_FN_TEXTO)
        return true;
    return k.id == kConvert && (T(j + 2).banderas & F_TIPO_TEXTO);
}

// Whether the literal at i is compared with something, and whether that is known to be text.
Rol Reescritor::RolDeLiteral(int i, bool& izqTexto) {
    static const Pieza nada;
    const Pieza& previo = i > 0 ? t_[size_t(i - 1)] : nada;
    const Pieza& sig = T(i + 1);
    const Nivel& n = Arriba();
    izqTexto = false;
    if (EsComparacion(previo) && !EsAritmetico(sig)) {
        izqTexto = n.ultimaCadenaTexto;
        return Rol::Comparacion;
    }
    if (EsComparacion(sig) && !EsAritmetico(previo)) {
        izqTexto = OperandoDerechoTexto(i + 2);
        return Rol::Comparacion;
    }
    if (previo.tipo == Tk::Palabra && previo.id == kBetween && IdEn(i + 1) == kAnd) {
        izqTexto = n.entreIzqTexto;
        return Rol::Entre;
    }
    if (previo.tipo == Tk::Palabra && previo.id == kAnd && n.andEntre == i - 1 &&
        !EsAritmetico(sig)) {
        izqTexto = n.entreIzqTexto;
        return Rol::Entre;
    }
    if (previo.tipo == Tk::Palabra && previo.id == kLike && !EsAritmetico(sig))
        return Rol::Like;
    if (n.tipo == Marco::ListaIn && (previo.tipo == Tk::AbreParen || previo.tipo == Tk::Coma) &&
        (sig.tipo == Tk::Coma || sig.tipo == Tk::CierraParen))
        return Rol::Lista;
    if (n.trasLike && previo.tipo == Tk::AbreParen && sig.tipo == Tk::CierraParen)
        return Rol::Like;
    return Rol::Ninguno;
}

// The role of a literal in a query, worked out once for the rules that ask.
Rol Reescritor::RolDe(int i) {
    if (rolDe_ != i) {
        const Nivel& n = Arriba();
        const bool zona = n.enConsulta && !(EnRaiz() && n.zonaSet);
        rolIzqTexto_ = false;
        rol_ = zona ? RolDeLiteral(i, rolIzqTexto_) : Rol::Ninguno;
        rolDe_ = i;
    }
    return rol_;
}

void Reescritor::LiteralDeTexto() {
    Nivel& m = Arriba();
    m.cadenaTexto = true;
    m.ultimoOperando = true;
}

// A day/month/year (or ISO) literal compared with something not known to be text, and
// #31/01/2024#, become canonical date text.
int Reescritor::Fechas(int i) {
    const Pieza& k = t_[size_t(i)];
    char fecha[40];
    if (k.tipo == Tk::FechaAlmohadilla) {
        const QLatin1String canonica =
            FechaCanonica(src_.sliced(k.inicio + 1, k.largo - 2), kDma | kIso, fecha);
        if (canonica.isEmpty())
            Emite(i);
        else
            EmiteComo(i, canonica);
        Arriba().ultimoOperando = true;
        return i + 1;
    }
    const Rol rol = RolDe(i);
    if ((rol != Rol::Comparacion && rol != Rol::Entre) || rolIzqTexto_)
        return -1;
    const QLatin1String canonica = FechaCanonica(CuerpoDeCadena(src_, k), kIso | kDma, fecha);
    if (canonica.isEmpty())
        return -1;
    EmiteComo(i, canonica);
    LiteralDeTexto();
    return i + 1;
}

// A compared literal gets COLLATE NOCASE, since the result of a function loses the
// column's collation and SQL Server compares text without regard to case. SQL Server pads
// the shorter side with blanks, so trailing blanks never matter to a comparison (they do
// to LIKE).
int Reescritor::TextoComparado(int i) {
    const Rol rol = RolDe(i);
    if (rol == Rol::Ninguno)
        return -1;
    QStringView cuerpo = CuerpoDeCadena(src_, t_[size_t(i)]);
    if (rol != Rol::Like)
        while (!cuerpo.isEmpty() && cuerpo.back() == u' ')
            cuerpo.chop(1);
    EmiteTrivia(i);
    out_ += u'\'';
    out_.append(cuerpo);
    out_ += u'\'';
    st_.salida = true;
    if (IdEn(i + 1) != kCollate && NecesitaColacion(cuerpo))
        Agrega(u" COLLATE NOCASE");
    LiteralDeTexto();
    return i + 1;
}

// N'x' -> 'x': SQLite's text is Unicode already.
int Reescritor::PrefijoN(int i) {
    EmiteTrivia(i);
    out_ += u'\'';
    out_.append(CuerpoDeCadena(src_, t_[size_t(i)]));
    out_ += u'\'';
    st_.salida = true;
    LiteralDeTexto();
    return i + 1;
}

// x IN ('a', 'b'): SQLite compares a list of several values with the collation of the
// left operand only, so that operand gets the COLLATE.
bool Reescritor::ListaInConTexto(int in) const {
    if (TipoEn(in + 1) != Tk::AbreParen || IdEn(in + 2) == kSelect)
        return false;
    const int c = CierreDe(in + 1);
    for (int j = in + 2; j < c; ++j) {
        const Pieza& x = t_[size_t(j)];
        if (x.tipo == Tk::Cadena && NecesitaColacion(CuerpoDeCadena(src_, x)))
            return true;
    }
    return false;
}

int Reescritor::ColacionDeListaIn(int i) {
    const Pieza& k = t_[size_t(i)];
    if (!((k.id == kIn && IdEn(i - 1) != kNot) || (k.id == kNot && IdEn(i + 1) == kIn)))
        return -1;
    const Nivel& n = Arriba();
    const bool zona = n.enConsulta && !(EnRaiz() && n.zonaSet);
    if (zona && n.ultimoOperando && IdEn(i - 2) != kCollate &&
        ListaInConTexto(k.id == kIn ? i : i + 1))
        Agrega(u" COLLATE NOCASE");
    return -1;
}

// ---------------------------------------------------------------- names

// [name] -> "name"; "]]" stands for one "]", a double quote inside is doubled.
void Reescritor::EmiteCorchete(int i) {
    const Pieza& k = t_[size_t(i)];
    const QStringView dentro = src_.sliced(k.inicio + 1, k.largo - 2);
    EmiteTrivia(i);
    out_ += u'"';
    for (qsizetype p = 0; p < dentro.size(); ++p) {
        const QChar c = dentro[p];
        out_ += c;
        if (c == u'"')
            out_ += u'"';
        else if (c == u']')
            ++p;
    }
    out_ += u'"';
    st_.salida = true;
}

int Reescritor::Corchetes(int i) {
    EmiteCorchete(i);
    Arriba().ultimoOperando = true;
    return i + 1;
}

// ---------------------------------------------------------------- operators

int Reescritor::NoMenorNoMayor(int i) {
    const sql::Simbolo op = t_[size_t(i)].op;
    if (op != sql::Simbolo::NoMenor && op != sql::Simbolo::NoMayor)
        return -1;
    Nivel& n = Arriba();
    TerminaCadena(n);
    EmiteComo(i, op == sql::Simbolo::NoMenor ? QStringView(u">=") : QStringView(u"<="));
    n.ultimoOperando = false;
    return i + 1;
}

// A binary "+": where it goes is noted, and when its additive chain ends (TerminaCadena)
// every "+" of the chain becomes "||" if the chain holds a string literal or a call that
// returns text. A chain of plain columns cannot be told from a sum and stays numeric.
int Reescritor::Concatenacion(int i) {
    Nivel& n = Arriba();
    if (t_[size_t(i)].op != sql::Simbolo::Mas || !n.ultimoOperando)
        return -1;
    EmiteTrivia(i);
    mas_.push_back(out_.size());
    out_ += u'+';
    st_.salida = true;
    n.ultimoOperando = false;
    return i + 1;
}

void Reescritor::TerminaCadena(Nivel& n) {
    if (n.cadenaTexto) {
        for (size_t k = mas_.size(); k-- > n.baseMas;) {
            out_[mas_[k]] = u'|';
            out_.insert(mas_[k], u'|');
        }
        if (n.tipo == Marco::Grupo ||
            (n.tipo == Marco::Llamada && n.devuelve == Devuelve::Propaga) ||
            (n.tipo == Marco::Caso && n.enResultado))
            n.resultadoTexto = true;
    }
    if (mas_.size() > n.baseMas)
        mas_.resize(n.baseMas);
    n.ultimaCadenaTexto = n.cadenaTexto;
    n.cadenaTexto = false;
}

} // namespace ado::sqlite
