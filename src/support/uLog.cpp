#include "uLog.h"

#include "uBibliot.h"
#include "uCp1252.h"
#include "uErros.h"
#include "uUIPort.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

TLog* Log_ = nullptr;

namespace {

const QString Separador = u'+' + QString(TLog::LarguraConteudo, u'-') + u'+';

QString Moldura(const QString& conteudo)
{
    return u'|' + FormataTexto(conteudo, TLog::LarguraConteudo, u'S') + u'|';
}

QString Hora(TDateTime t)
{
    return t.ToTime().toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

void TLog::AparaTela()
{
    if (FTela) {
        while (FTela->QuantidadeLinhas() > MaximoLinhasTela)
            FTela->ApagaPrimeiraLinha();
    }
    // Lets the window repaint and the user's clicks through during long imports; callers
    // must expect timer ticks to be handled here.
    UI().ProcessarEventos();
}

void TLog::LinhaSimples(const QString& linha)
{
    if (FTela) {
        FTela->NovaLinha();
        if (!linha.isEmpty())
            FTela->Insere(linha, FTela->CorPadrao());
        FTela->LinhaConcluida();
    }
    Guarda(linha);
}

void TLog::Guarda(const QString& linha)
{
    FLtLog << linha;
    if (FLtLog.size() > MaximoLinhasMemoria)
        FLtLog.remove(0, FLtLog.size() - MaximoLinhasMemoria);
    if (FPastaArquivo.isEmpty())
        return;
    // The name is looked at for every line, so a program running past midnight starts the next
    // day's file; a folder that went away (a drive unplugged) is made again on the next line.
    const QString nome = ArquivoDoDia(TDateTime::Now());
    if (!FArquivo || FNomeArquivo != nome || !QFileInfo::exists(nome)) {
        FArquivo.reset();
        QDir().mkpath(FPastaArquivo);
        auto arquivo = std::make_unique<QFile>(nome);
        if (!arquivo->open(QIODevice::WriteOnly | QIODevice::Append))
            return;  // the log cannot report on itself; the next line tries again
        FArquivo = std::move(arquivo);
        FNomeArquivo = nome;
    }
    QByteArray bytes = CodificaCp1252(linha);
    bytes += "\r\n";
    // Written through at once, so that a crash loses no line.
    if (FArquivo->write(bytes) != bytes.size() || !FArquivo->flush())
        FArquivo.reset();
}

void TLog::SetPastaArquivo(const QString& pasta)
{
    FArquivo.reset();
    FNomeArquivo.clear();
    FPastaArquivo = pasta;
}

QString TLog::ArquivoDoDia(TDateTime dia) const
{
    if (FPastaArquivo.isEmpty())
        return {};
    return QDir(FPastaArquivo).filePath(QStringLiteral("TeskVado-") + dia.ToDate().toString(QStringLiteral("yyyyMMdd")) +
                                        QStringLiteral(".log"));
}

QString TLog::PastaArquivoPadrao()
{
    const QString app = DiretorioAplicacao();
    QFileInfo pasta(app);
    const auto escrita = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    const QString logs = QDir(app).filePath(QStringLiteral("Logs"));
    QFileInfo existente(logs);
    if (existente.exists() ? (existente.isWritable() && (existente.permissions() & escrita))
                           : (pasta.isDir() && pasta.isWritable() && (pasta.permissions() & escrita)))
        return logs;
    const QString dados = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return dados.isEmpty() ? logs : QDir(dados).filePath(QStringLiteral("Logs"));
}

void TLog::TextoSimples(const QString& texto)
{
    AparaTela();
    LinhaSimples(Moldura(texto));
}

void TLog::TextoErro(const QString& texto)
{
    TextoColorido({QStringLiteral("Erro   : ") + texto}, {CoresLog::Vermelho});
}

void TLog::TextoOK(const QString& texto)
{
    TextoColorido({QStringLiteral("Ok     : ") + texto + QStringLiteral(" com sucesso")}, {CoresLog::Verde});
}

void TLog::TextoAtencao(const QString& texto)
{
    TextoColorido({QStringLiteral("Atenção: ") + texto}, {CoresLog::Laranja});
}

void TLog::TextoColorido(const QStringList& textos, const QList<uint>& cores)
{
    AparaTela();
    const uint padrao = FTela ? FTela->CorPadrao() : 0;
    if (FTela) {
        FTela->NovaLinha();
        FTela->Insere(QStringLiteral("|"), padrao);
    }
    QString linha = QStringLiteral("|");
    for (qsizetype i = 0; i < textos.size(); ++i) {
        QString peca = textos[i] + u' ';
        if (FTela)
            FTela->Insere(peca, i < cores.size() ? cores[i] : padrao);
        linha += peca;
    }
    // Blanks up to column 80, then the closing "|" at 81; a longer line just gets its "|".
    QString fecho = FormataTexto(QString(), int(TLog::LarguraConteudo + 1 - linha.size()), u'S') + u'|';
    if (FTela) {
        FTela->Insere(fecho, padrao);
        FTela->LinhaConcluida();
    }
    Guarda(linha + fecho);
}

void TLog::TextoCentralizado(const QString& texto)
{
    LinhaSimples(u'|' + FormataTexto(texto, LarguraConteudo, u'C') + u'|');
}

void TLog::TextoSublinhado(const QString& texto)
{
    LinhaSimples(Moldura(texto));
    LinhaSimples(Moldura(QString(texto.size(), u'-')));
}

void TLog::Espaco() { LinhaSimples(Moldura(QString())); }

void TLog::Branco() { LinhaSimples(QString()); }

void TLog::Linha() { LinhaSimples(Separador); }

void TLog::Cabecalho(const QString& Texto, bool MsgAguarde)
{
    Branco();
    Linha();
    TextoCentralizado(Texto);
    if (MsgAguarde)
        TextoCentralizado(QStringLiteral("Aguarde essa operação pode levar alguns minutos !"));
    Linha();
}

void TLog::Corpo(const QString& Registro, TTipoOcorrencia Ocorrencia)
{
    // The cut at 69 against a field of 66 is the reports' historical layout: a long record
    // pushes its status column right instead of losing characters.
    const QString inicio = u'|' + FormataTexto(Registro.left(69), 66, u'S') + u'|';
    if (FTela) {
        FTela->NovaLinha();
        FTela->Insere(inicio, FTela->CorPadrao());
    }
    const QString status = GetOcorrencia(Ocorrencia);
    Guarda(inicio + FormataTexto(status, 12, u'S') + u'|');
}

void TLog::Rodape(int NumeroRegistros, TDateTime Tempo)
{
    LinhaSimples(Moldura(QStringLiteral("Número de registros: ") + FormataTexto(QString::number(NumeroRegistros), 4, u'N')
                         + QStringLiteral(" - Tempo gasto: ") + Hora(Tempo)));
    Linha();
    Branco();
}

void TLog::NumeroRegistros(int numero) { LinhaSimples(QStringLiteral("Número de registros: ") + QString::number(numero)); }

void TLog::Tempo(TDateTime tempo) { LinhaSimples(QStringLiteral("Tempo gasto: ") + Hora(tempo)); }

void TLog::Erro(const QString& texto) { LinhaSimples(texto); }

QString TLog::TextoOcorrencia(TTipoOcorrencia Ocorrencia)
{
    switch (Ocorrencia) {
    case toNull: return QString();
    case toInserido: return QStringLiteral("Inserido");
    case toNaoInserido: return QStringLiteral("Não Inserido");
    case toExistente: return QStringLiteral("Existente");
    case toErro: return QStringLiteral("Erro");
    case toCopiado: return QStringLiteral("Copiado");
    case toNaoCopiado: return QStringLiteral("Não Copiado");
    case toNaoExite: return QStringLiteral("Não Existe");
    }
    return QString();
}

uint TLog::CorOcorrencia(TTipoOcorrencia Ocorrencia, uint corPadrao)
{
    switch (Ocorrencia) {
    case toInserido:
    case toCopiado: return CoresLog::Verde;
    case toNaoInserido:
    case toExistente:
    case toNaoExite: return CoresLog::Marrom;
    case toErro:
    case toNaoCopiado: return CoresLog::Vermelho;
    case toNull: break;
    }
    return corPadrao;
}

QString TLog::GetOcorrencia(TTipoOcorrencia Ocorrencia)
{
    const QString texto = TextoOcorrencia(Ocorrencia);
    if (FTela) {
        const uint padrao = FTela->CorPadrao();
        FTela->Insere(FormataTexto(texto, 12, u'S'), CorOcorrencia(Ocorrencia, padrao));
        FTela->Insere(QStringLiteral("|"), padrao);
        FTela->LinhaConcluida();
    }
    return texto;
}

void TLog::Clear()
{
    if (FTela)
        FTela->Limpa();
    FLtLog.clear();
}

QString TLog::Salvar() { return Salvar(DiretorioAplicacao()); }

QString TLog::Salvar(const QString& pasta)
{
    QDir base(pasta);
    const QString logs = base.filePath(QStringLiteral("Logs"));
    if (!QDir(logs).exists() && !base.mkpath(QStringLiteral("Logs")))
        throw EInOutError(QStringLiteral("Não foi possível criar a pasta ") + logs);
    const QString nome = TDateTime::Now().ToDateTime().toString(QStringLiteral("ddMMyyyyHHmmss")) + QStringLiteral(".txt");
    const QString caminho = QDir(logs).filePath(nome);
    GravarArquivoCp1252(caminho, FLtLog);
    return caminho;
}
