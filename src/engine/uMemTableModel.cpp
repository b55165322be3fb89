#include "uMemTableModel.h"

TMemTableModel::TMemTableModel(TMemTable* tabela, QObject* parent)
    : QAbstractTableModel(parent), FTabela(tabela)
{
    if (FTabela) {
        connect(FTabela, &TMemTable::Reiniciado, this, &TMemTableModel::Reinicia);
        connect(FTabela, &TMemTable::LinhaAlterada, this, &TMemTableModel::Linha);
        connect(FTabela, &QObject::destroyed, this, &TMemTableModel::Reinicia);
    }
}

int TMemTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !FTabela || !FTabela->Active())
        return 0;
    return FTabela->RecordCount();
}

int TMemTableModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !FTabela)
        return 0;
    return FTabela->FieldCount();
}

QVariant TMemTableModel::data(const QModelIndex& index, int role) const
{
    if (!FTabela || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const QVariant valor = FTabela->ValorEm(index.row(), index.column());
    const TCampoMem& campo = FTabela->Fields(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (valor.isNull())
            return QString();
        switch (campo.Tipo()) {
        case TTipoCampoMem::Data: return valor.value<TDateTime>().ToString();
        case TTipoCampoMem::Logico: return valor.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case TTipoCampoMem::Real: return QString::number(valor.toDouble(), 'g', 15);
        default: return valor.toString();
        }
    case Qt::EditRole:
        return valor;
    case Qt::TextAlignmentRole:
        if (campo.Tipo() == TTipoCampoMem::Inteiro || campo.Tipo() == TTipoCampoMem::Real)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TMemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !FTabela)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < FTabela->FieldCount() ? QVariant(FTabela->Fields(section).Nome()) : QVariant();
    return section + 1;
}

void TMemTableModel::Reinicia()
{
    beginResetModel();
    endResetModel();
}

void TMemTableModel::Linha(int linha)
{
    if (linha < 0 || linha >= rowCount())
        return Reinicia();
    emit dataChanged(index(linha, 0), index(linha, columnCount() - 1));
}
