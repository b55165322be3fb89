#pragma once

#include "uMemTable.h"

#include <QAbstractTableModel>
#include <QPointer>

// Shows an in-memory table in a grid, one row per record in walking order, one column per field.
// Read-only: the grid is for looking, the program writes through the table itself.
class TMemTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TMemTableModel(TMemTable* tabela, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    TMemTable* Tabela() const { return FTabela; }

private:
    void Reinicia();
    void Linha(int linha);

    QPointer<TMemTable> FTabela;
};
