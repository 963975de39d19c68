// The rewriter's walk through a batch: which statement each token belongs to, the
// parentheses, CASE ... END and clauses it stands in, and the order in which the rules
// of ReglasTSql.cpp look at it.

#include "ado/sqlite/ReescritorTSql.h"

#include "ado/sqlite/ErroresSqlite.h"
#include "ado/sqlite/Reescritor.h"

#include <algorithm>
#include <array>
#include <exception>
#include <limits>

namespace ado::sqlite {

namespace {

constexpr uint32_t Bit(Tk t) {
    return 1u << unsigned(t);
}
constexpr uint32_t kTodos = ~0u;
constexpr uint32_t kPalabra = Bit(Tk::Palabra);
constexpr uint32_t kCadena = Bit(Tk::Cadena);
constexpr uint32_t kCorchete = Bit(Tk::Corchete);
constexpr uint32_t kComillas = Bit(Tk::Comillas);
constexpr uint32_t kNumero = Bit(Tk::Numero);
constexpr uint32_t kFecha = Bit(Tk::FechaAlmohadilla);
constexpr uint32_t kOp = Bit(Tk::Op);

using R = Reescritor;

// Every token goes down this list and stops at the first step that writes it. Rules
// that only take note of a token (the kind of a statement, a column definition, an IN
// list) come before the ones that write it. Each kind of token ends with a step of the
// walk that writes it as it is.
const Regla kReglas[] = {
    {"separación del lote", kTodos, {}, &R::SeparaLote},
    {"SET de opciones", kTodos, {}, &R::DescartaSet},
    {"BEGIN/COMMIT/ROLLBACK TRANSACTION", kPalabra, {kBegin, kCommit, kRollback}, &R::Transaccion},
    {"DELETE sin FROM", kPalabra, {kDelete}, &R::DeleteSinFrom},
    {"TRUNCATE TABLE", kPalabra, {kTruncate}, &R::TruncateTable},
    {"CAST", kPalabra, {kAs}, &R::TipoDeCast},
    {"pistas de tabla", kPalabra, {kWith, kOption}, &R::PistasWith},
    {"dbo.", kPalabra | kCorchete, {kDbo}, &R::QuitaDbo},
    {"COLLATE NOCASE en columnas de texto",
     kPalabra | kCorchete | kNumero | kComillas,
     {},
     &R::ColumnaDeTexto},
    {"pistas de tabla", kPalabra | kCorchete, {}, &R::PistaSuelta},
    {"ISNULL", kPalabra, {kIsnull}, &R::Isnull},
    {"LEFT y RIGHT", kPalabra, {kLeft, kRight}, &R::LeftRight},
    {"SCOPE_IDENTITY", kPalabra, {kScopeIdentity}, &R::ScopeIdentity},
    {"CONVERT", kPalabra, {kConvert}, &R::Convert},
    {"CAST", kPalabra, {kCast}, &R::Cast},
    {"DATEADD, DATEDIFF y DATEPART", kPalabra, {kDateadd, kDatediff, kDatepart}, &R::PartesDeFecha},
    {"llamada", kPalabra, {}, &R::Llamada},
    {"COLLATE NOCASE en listas IN", kPalabra, {kIn, kNot}, &R::ColacionDeListaIn},
    {"CURRENT_TIMESTAMP y @@IDENTITY",
     kPalabra,
     {kCurrentTimestamp, kArrobaIdentity},
     &R::ValoresDelServidor},
    {"nombre", kPalabra, {}, &R::Nombre},
    {"TOP", kPalabra, {kTop}, &R::Top},
    {"SELECT", kPalabra, {kSelect}, &R::Select},
    {"CASE", kPalabra, {kCase}, &R::Caso},
    {"END", kPalabra, {kEnd}, &R::FinDeBloque},
    {"BEGIN", kPalabra, {kBegin}, &R::CuerpoDeTrigger},
    {"WHEN, THEN y ELSE", kPalabra, {kWhen, kThen, kElse}, &R::RamaDeCaso},
    {"BETWEEN", kPalabra, {kBetween}, &R::Entre},
    {"AND", kPalabra, {kAnd}, &R::Y},
    {"UNION, EXCEPT e INTERSECT", kPalabra, {kUnion, kExcept, kIntersect}, &R::Compuesto},
    {"ORDER BY", kPalabra, {kOrder}, &R::OrdenPor},
    {"SET de UPDATE", kPalabra, {kSet}, &R::ZonaSet},
    {"WHERE y FROM", kPalabra, {kWhere, kFrom}, &R::FinDeZonaSet},
    {"VALUES", kPalabra, {kValues}, &R::Valores},
    {"ADD de ALTER TABLE", kPalabra, {kAdd}, &R::AgregaColumna},
    {"palabra clave", kPalabra, {}, &R::PalabraClave},
    {"fechas", kCadena | kFecha, {}, &R::Fechas},
    {"COLLATE NOCASE en textos comparados", kCadena, {}, &R::TextoComparado},
    {"N''", kCadena, {}, &R::PrefijoN},
    {"corchetes", kCorchete, {}, &R::Corchetes},
    {"!< y !>", kOp, {}, &R::NoMenorNoMayor},
    {"+ a ||", kOp, {}, &R::Concatenacion},
    {"operador", kOp, {}, &R::Operador},
    {"paréntesis", Bit(Tk::AbreParen), {}, &R::AbreParentesis},
    {"paréntesis", Bit(Tk::CierraParen), {}, &R::CierraParentesis},
    {"coma", Bit(Tk::Coma), {}, &R::Coma},
    {"operando", kNumero | kComillas, {}, &R::Operando},
    {"símbolo", Bit(Tk::PuntoComa) | Bit(Tk::Punto) | Bit(Tk::Otro), {}, &R::Otro},
};

constexpr size_t kTipos = size_t(Tk::Fin) + 1;

// The list above cut once by kind of token, and words by what they are: each token
// meets only the steps that look at it.
struct Reparto {
    std::array<std::vector<const Regla*>, kTipos> porTipo;
    std::array<std::vector<const Regla*>, kOtraClave + 1> porPalabra;
};

const Reparto& ReglasRepartidas() {
    static const Reparto reparto = [] {
        Reparto r;
        for (const Regla& regla : kReglas) {
            for (size_t t = 0; t < kTipos; ++t)
                if ((regla.tipos & (1u << t)) && t != size_t(Tk::Palabra))
                    r.porTipo[t].push_back(&regla);
            if (!(regla.tipos & Bit(Tk::Palabra)))
                continue;
            for (size_t id = 0; id < r.porPalabra.size(); ++id)
                if (regla.ids[0] == kNinguno ||
                    (id != kNinguno &&
                     std::find(regla.ids.begin(), regla.ids.end(), id) != regla.ids.end()))
                    r.porPalabra[id].push_back(&regla);
        }
        return r;
    }();
    return reparto;
}

const QString kLectura = QStringLiteral("lectura del texto");

QString MotivoAbierto(QStringView texto, const sql::Token& t) {
    if (t.clase == sql::Clase::Cadena)
        return QStringLiteral("un texto entre apóstrofos no se cierra");
    if (t.clase == sql::Clase::Comentario)
        return QStringLiteral("un comentario /* no se cierra");
    switch (texto[t.inicio].unicode()) {
    case '[':
        return QStringLiteral("un nombre entre corchetes no se cierra");
    case '"':
        return QStringLiteral("un nombre entre comillas no se cierra");
    default:
        return QStringLiteral("un nombre entre acentos graves no se cierra");
    }
}

} // namespace

QString ReescribeTSql(const QString& tsql) {
    if (tsql.size() > std::numeric_limits<int>::max() / 2)
        throw detalle::FallaReescritura(kLectura, QStringLiteral("el texto es demasiado largo"),
                                        tsql);
    thread_local Memoria memoria;
    QString etapa = kLectura;
    try {
        memoria.toks.clear();
        sql::Token abierto;
        if (!Trocea(tsql, memoria.toks, abierto))
            throw detalle::FallaReescritura(kLectura, MotivoAbierto(tsql, abierto), tsql);
        QString out;
        out.reserve(tsql.size() + tsql.size() / 4 + 32);
        Reescritor reescritor(tsql, memoria, out);
        try {
            reescritor.Ejecuta();
        } catch (...) {
            etapa = QStringLiteral("regla ") + QString::fromUtf8(reescritor.ReglaEnCurso());
            throw;
        }
        return out;
    } catch (const Falla&) {
        throw;
    } catch (const std::exception& e) {
        throw detalle::FallaReescritura(etapa, QString::fromLocal8Bit(e.what()), tsql);
    } catch (...) {
        throw detalle::FallaReescritura(etapa, QStringLiteral("falla inesperada"), tsql);
    }
}

// ---------------------------------------------------------------- the walk

void Reescritor::Ejecuta() {
    niveles_.clear();
    mas_.clear();
    NuevaSentencia();
    fin_ = int(t_.size()) - 1;
    int i = 0;
    while (i < fin_) {
        const int siguiente = Avanza(i);
        if (colateTras_ >= i && colateTras_ < siguiente) {
            Agrega(u" COLLATE NOCASE");
            colateTras_ = -1;
        }
        i = siguiente;
    }
    regla_ = "separación del lote";
    TerminaSentencia(-1, false);
    out_.append(src_.sliced(t_[size_t(fin_)].inicioTrivia));
}

int Reescritor::Avanza(int i) {
    const Pieza& k = t_[size_t(i)];
    const Reparto& reparto = ReglasRepartidas();
    for (const Regla* r :
         k.tipo == Tk::Palabra ? reparto.porPalabra[k.id] : reparto.porTipo[size_t(k.tipo)]) {
        regla_ = r->nombre;
        const int siguiente = (this->*(r->paso))(i);
        if (siguiente >= 0)
            return siguiente;
    }
    Emite(i); // every kind ends with a step that writes it; this is never reached
    return i + 1;
}

int Reescritor::CierreDe(int i) const {
    int prof = 0;
    for (int k = i; k < fin_; ++k) {
        if (t_[size_t(k)].tipo == Tk::AbreParen)
            ++prof;
        else if (t_[size_t(k)].tipo == Tk::CierraParen && --prof == 0)
            return k;
        else if (t_[size_t(k)].tipo == Tk::PuntoComa)
            return -1;
    }
    return -1;
}

// A name (or LEFT, RIGHT) with "(" after it.
bool Reescritor::EsLlamada(int i) const {
    const Pieza& k = t_[size_t(i)];
    return TipoEn(i + 1) == Tk::AbreParen && (!(k.banderas & F_CLAVE) || (k.banderas & F_LLAMABLE));
}

// ---------------------------------------------------------------- output

namespace {

bool Pega(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '@' || u == '#' || u == '$' || (u >= 0x80 && c.isLetterOrNumber()) || u == '\'' ||
           u == '"' || u == '[' || u == ']';
}

} // namespace

void Reescritor::EmiteTrivia(int i) {
    const Pieza& k = t_[size_t(i)];
    if (k.inicioTrivia < k.inicio)
        out_.append(src_.sliced(k.inicioTrivia, k.inicio - k.inicioTrivia));
    else if (necesitaEspacio_ && !out_.isEmpty() && Pega(out_.back()) && Pega(src_[k.inicio]))
        out_ += u' ';
    necesitaEspacio_ = false;
}

void Reescritor::Emite(int i) {
    EmiteTrivia(i);
    out_.append(Texto(i));
    st_.salida = true;
}

void Reescritor::EmiteComo(int i, QStringView s) {
    EmiteTrivia(i);
    out_.append(s);
    st_.salida = true;
}

void Reescritor::EmiteComo(int i, QLatin1String s) {
    EmiteTrivia(i);
    out_.append(s);
    st_.salida = true;
}

// Drops a token; a comment before it stays.
void Reescritor::Salta(int i) {
    const Pieza& k = t_[size_t(i)];
    if (k.triviaConComentario)
        out_.append(src_.sliced(k.inicioTrivia, k.inicio - k.inicioTrivia));
    necesitaEspacio_ = true;
}

void Reescritor::SaltaHasta(int desde, int hasta) {
    for (int k = desde; k <= hasta; ++k)
        Salta(k);
}

// ---------------------------------------------------------------- batches and statements

void Reescritor::NuevaSentencia() {
    st_ = Sentencia{};
    niveles_.clear();
    mas_.clear();
    niveles_.push_back(Nivel{});
}

void Reescritor::TerminaSentencia(int puntoComa, bool implicito) {
    while (niveles_.size() > 1) {
        TerminaCadena(Arriba());
        niveles_.pop_back();
    }
    TerminaCadena(Arriba());
    CierraLimite(Arriba());
    if (puntoComa >= 0) {
        if (st_.salida)
            Emite(puntoComa);
        else
            Salta(puntoComa);
    } else if (implicito && st_.salida) {
        out_ += u';';
    }
    NuevaSentencia();
}

bool Reescritor::EsLineaGo(int i) const {
    const Pieza& k = t_[size_t(i)];
    const Pieza& sig = T(i + 1);
    return k.inicioLinea && (sig.tipo == Tk::Fin || sig.inicioLinea || sig.tipo == Tk::PuntoComa);
}

bool Reescritor::EsOpcionSet(int i) const {
    return (T(i + 1).banderas & F_OPCION_SET) && T(i + 1).tipo == Tk::Palabra &&
           !(T(i + 2).tipo == Tk::Op && T(i + 2).op == sql::Simbolo::Igual);
}

// Whether the statement word at i (root level) begins a new statement of the batch.
bool Reescritor::EmpiezaSentencia(int i) {
    if (st_.tipo == kCreate && st_.crea == kTrigger && !st_.triggerCerrado)
        return false;
    const uint16_t previo = IdEn(i - 1);
    switch (t_[size_t(i)].id) {
    case kInsert:
    case kUpdate:
    case kDelete:
        if ((previo == kOn && (st_.tipo == kCreate || st_.tipo == kAlter)) || previo == kFor)
            return false; // ON DELETE CASCADE, FOR UPDATE
        if (st_.tipo == kWith && !st_.cuerpo) {
            st_.cuerpo = true;
            st_.tipo = t_[size_t(i)].id;
            return false;
        }
        return true;
    case kSelect:
        if (previo == kUnion || previo == kExcept || previo == kIntersect ||
            (previo == kAll && IdEn(i - 2) == kUnion))
            return false;
        if ((st_.tipo == kInsert || st_.tipo == kWith) && !st_.cuerpo)
            return false;
        if ((st_.tipo == kCreate || st_.tipo == kAlter) && previo == kAs)
            return false;
        return true;
    case kDrop:
        return st_.tipo != kAlter;
    case kSet:
        return EsOpcionSet(i);
    default:
        return true;
    }
}

// The kind of statement its first token starts.
void Reescritor::AnotaSentencia(int i) {
    const Pieza& k = t_[size_t(i)];
    st_.tipo = k.tipo == Tk::Palabra ? k.id : uint16_t(kNinguno);
    niveles_.front().enConsulta =
        st_.tipo == kSelect || st_.tipo == kWith || st_.tipo == kUpdate || st_.tipo == kDelete;
    if (st_.tipo == kCreate) {
        for (int j = i + 1; j <= i + 3; ++j) {
            const uint16_t id = IdEn(j);
            if (id == kTable || id == kView || id == kTrigger || id == kIndex) {
                st_.crea = id;
                break;
            }
        }
    }
}

// Batch splitting: a ";" ends a statement, so does a line holding only GO, and a
// statement word at the root level begins a new one; statements come out joined by ";".
int Reescritor::SeparaLote(int i) {
    const Pieza& k = t_[size_t(i)];
    const bool enTrigger = niveles_.size() > 1 && niveles_[1].tipo == Marco::CuerpoTrigger;
    if (k.tipo == Tk::PuntoComa && !enTrigger) {
        TerminaSentencia(i, false);
        return i + 1;
    }
    if (EnRaiz() && k.tipo == Tk::Palabra) {
        if (k.id == kGo && EsLineaGo(i)) {
            if (st_.tokens > 0)
                TerminaSentencia(-1, true);
            Salta(i);
            return i + 1;
        }
        if ((k.banderas & F_SENTENCIA) && st_.tokens > 0 && EmpiezaSentencia(i))
            TerminaSentencia(-1, true);
    }
    if (++st_.tokens == 1)
        AnotaSentencia(i);
    return -1;
}

// SET NOCOUNT, SET DATEFORMAT and the like mean nothing to SQLite: the statement goes.
int Reescritor::DescartaSet(int i) {
    if (!st_.descartando) {
        if (st_.tokens != 1 || st_.tipo != kSet || !EsOpcionSet(i))
            return -1;
        st_.descartando = true;
    }
    Salta(i);
    return i + 1;
}

bool Reescritor::EsNombreTransaccion(int i) const {
    const Pieza& k = T(i);
    if (k.tipo == Tk::Corchete || k.tipo == Tk::Comillas)
        return true;
    return k.tipo == Tk::Palabra && !(k.banderas & (F_CLAVE | F_SENTENCIA));
}

// BEGIN/COMMIT/ROLLBACK TRAN[SACTION] [name]: SQLite's own words, without the name.
int Reescritor::Transaccion(int i) {
    if (st_.tokens != 1)
        return -1;
    if (st_.tipo == kBegin) {
        int j = i + 1;
        if (IdEn(j) == kDistributed)
            ++j;
        if (IdEn(j) != kTran && IdEn(j) != kTransaction)
            return -1; // BEGIN, BEGIN IMMEDIATE: SQLite's own
        EmiteComo(i, u"BEGIN TRANSACTION");
        SaltaHasta(i + 1, j);
        ++j;
        if (EsNombreTransaccion(j))
            Salta(j++);
        return j;
    }
    if (st_.tipo != kCommit && st_.tipo != kRollback)
        return -1;
    int j = i + 1;
    const uint16_t sig = IdEn(j);
    const bool tran = sig == kTran || sig == kTransaction;
    if (tran || sig == kWork)
        ++j;
    if (IdEn(j) == kTo)
        return -1; // ROLLBACK TO savepoint
    EmiteComo(i, st_.tipo == kCommit ? QStringView(u"COMMIT") : QStringView(u"ROLLBACK"));
    if (tran)
        Agrega(u" TRANSACTION");
    SaltaHasta(i + 1, j - 1);
    if (tran && EsNombreTransaccion(j))
        Salta(j++);
    return j;
}

// ---------------------------------------------------------------- words

// An identifier, NULL, a variable: an operand written as it is.
int Reescritor::Nombre(int i) {
    if (t_[size_t(i)].banderas & F_CLAVE)
        return -1;
    Emite(i);
    Arriba().ultimoOperando = true;
    return i + 1;
}

int Reescritor::Select(int i) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    if (EnRaiz()) {
        if (!(st_.crea == kTrigger))
            n.enConsulta = true;
        if (st_.tipo == kInsert || st_.tipo == kWith)
            st_.cuerpo = true;
    } else if (n.abre == i - 1) {
        n.tipo = Marco::Subconsulta;
        n.enConsulta = st_.crea != kTrigger;
    }
    EmiteTrivia(i);
    n.posSelect = out_.size();
    out_.append(Texto(i));
    st_.salida = true;
    n.ultimoOperando = false;
    return i + 1;
}

int Reescritor::Caso(int i) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    Emite(i);
    Nivel c;
    c.tipo = Marco::Caso;
    c.enConsulta = n.enConsulta;
    c.baseMas = mas_.size();
    niveles_.push_back(c);
    return i + 1;
}

// END of a CASE or of a trigger's body.
int Reescritor::FinDeBloque(int i) {
    Nivel& n = Arriba();
    if (n.tipo == Marco::Caso) {
        TerminaCadena(n);
        const bool texto = n.resultadoTexto;
        niveles_.pop_back();
        Emite(i);
        Arriba().cadenaTexto |= texto;
        Arriba().ultimoOperando = true;
        return i + 1;
    }
    if (n.tipo == Marco::CuerpoTrigger) {
        TerminaCadena(n);
        niveles_.pop_back();
        st_.triggerCerrado = true;
        Emite(i);
        return i + 1;
    }
    return -1;
}

int Reescritor::CuerpoDeTrigger(int i) {
    if (!EnRaiz() || st_.crea != kTrigger || st_.triggerCerrado)
        return -1;
    Emite(i);
    Nivel c;
    c.tipo = Marco::CuerpoTrigger;
    c.baseMas = mas_.size();
    niveles_.push_back(c);
    return i + 1;
}

int Reescritor::RamaDeCaso(int i) {
    const uint16_t id = t_[size_t(i)].id;
    if (id != kWhen && id != kThen && id != kElse)
        return -1;
    Nivel& n = Arriba();
    TerminaCadena(n);
    n.enResultado = id != kWhen;
    return -1;
}

int Reescritor::Entre(int) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    n.entrePendiente = true;
    n.entreIzqTexto = n.ultimaCadenaTexto;
    return -1;
}

int Reescritor::Y(int i) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    if (n.entrePendiente) {
        n.entrePendiente = false;
        n.andEntre = i;
    }
    return -1;
}

int Reescritor::Compuesto(int i) {
    const uint16_t id = t_[size_t(i)].id;
    if (id != kUnion && id != kExcept && id != kIntersect)
        return -1;
    Nivel& n = Arriba();
    TerminaCadena(n);
    if (n.limite)
        EnvuelveRama(n);
    n.compuesto = true;
    return -1;
}

// After a UNION the ORDER BY sorts the whole compound: a TOP of the last branch closes
// before it.
int Reescritor::OrdenPor(int) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    if (n.limite && n.compuesto)
        EnvuelveRama(n);
    return -1;
}

// Literals assigned by UPDATE ... SET are stored as written, not compared.
int Reescritor::ZonaSet(int) {
    if (EnRaiz() && st_.tipo == kUpdate)
        Arriba().zonaSet = true;
    return -1;
}

int Reescritor::FinDeZonaSet(int i) {
    const uint16_t id = t_[size_t(i)].id;
    if ((id == kWhere || id == kFrom) && EnRaiz())
        Arriba().zonaSet = false;
    return -1;
}

int Reescritor::Valores(int) {
    if (EnRaiz() && st_.tipo == kInsert)
        st_.cuerpo = true;
    return -1;
}

int Reescritor::AgregaColumna(int i) {
    if (!EnRaiz() || st_.tipo != kAlter)
        return -1;
    Nivel& n = Arriba();
    n.defs = true;
    n.posDef = 0;
    TerminaCadena(n);
    Emite(i);
    n.ultimoOperando = false;
    return i + 1;
}

int Reescritor::PalabraClave(int i) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    Emite(i);
    n.ultimoOperando = false;
    return i + 1;
}

// ---------------------------------------------------------------- other tokens

int Reescritor::Operador(int i) {
    Nivel& n = Arriba();
    if (EsComparacion(t_[size_t(i)]))
        TerminaCadena(n);
    Emite(i);
    n.ultimoOperando = false;
    return i + 1;
}

// "(" right after CREATE TABLE [IF NOT EXISTS] [dbo.]name: the column definitions.
bool Reescritor::SigueANombreDeTabla(int i) const {
    int j = i - 1;
    while (j >= 0 &&
           (TipoEn(j) == Tk::Punto || TipoEn(j) == Tk::Corchete || TipoEn(j) == Tk::Comillas ||
            (TipoEn(j) == Tk::Palabra && !(t_[size_t(j)].banderas & F_CLAVE))))
        --j;
    return j < i - 1 && j >= 0 && (IdEn(j) == kTable || IdEn(j) == kExists);
}

void Reescritor::AbreNivel(int i, Devuelve forzado, bool forzar) {
    const Nivel& padre = Arriba();
    Nivel n;
    n.tipo = Marco::Grupo;
    n.enConsulta = padre.enConsulta;
    n.abre = i;
    n.baseMas = mas_.size();
    const Pieza& previo = T(i - 1);
    if (i > 0 && previo.tipo == Tk::Palabra) {
        if (previo.id == kIn) {
            n.tipo = Marco::ListaIn;
        } else if (!(previo.banderas & F_CLAVE) || (previo.banderas & F_LLAMABLE)) {
            n.tipo = Marco::Llamada;
            n.devuelve = (previo.banderas & F_FN_TEXTO)     ? Devuelve::Texto
                         : (previo.banderas & F_FN_PROPAGA) ? Devuelve::Propaga
                                                            : Devuelve::Otro;
        }
        n.trasLike = previo.id == kLike;
    }
    if (forzar)
        n.devuelve = forzado;
    if (st_.crea == kTable && EnRaiz() && !st_.parenTabla && SigueANombreDeTabla(i)) {
        st_.parenTabla = true;
        n.defs = true;
        n.posDef = 0;
    }
    Emite(i);
    niveles_.push_back(n);
}

int Reescritor::AbreParentesis(int i) {
    AbreNivel(i);
    return i + 1;
}

int Reescritor::CierraParentesis(int i) {
    if (EnRaiz() || Arriba().tipo == Marco::Caso || Arriba().tipo == Marco::CuerpoTrigger) {
        Emite(i); // unbalanced: leave it to SQLite
        Arriba().ultimoOperando = true;
        return i + 1;
    }
    Nivel& n = Arriba();
    TerminaCadena(n);
    CierraLimite(n);
    const bool texto =
        (n.tipo == Marco::Grupo && n.resultadoTexto) ||
        (n.tipo == Marco::Llamada &&
         (n.devuelve == Devuelve::Texto || (n.devuelve == Devuelve::Propaga && n.resultadoTexto)));
    niveles_.pop_back();
    Emite(i);
    Nivel& p = Arriba();
    p.cadenaTexto |= texto;
    p.ultimoOperando = true;
    return i + 1;
}

int Reescritor::Coma(int i) {
    Nivel& n = Arriba();
    TerminaCadena(n);
    n.ultimoOperando = false;
    if (n.defs)
        n.posDef = 0;
    Emite(i);
    return i + 1;
}

int Reescritor::Operando(int i) {
    Emite(i);
    Arriba().ultimoOperando = true;
    return i + 1;
}

int Reescritor::Otro(int i) {
    Emite(i);
    Arriba().ultimoOperando = false;
    return i + 1;
}

} // namespace ado::sqlite
