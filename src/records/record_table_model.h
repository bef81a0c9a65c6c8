// The records of one list as a three-column table ("No.s", "Date Time", "dB") for the
// column grids. The model owns its RecordStore; appends announce only the new rows,
// so a live list can grow by one row per sample and a file can be listed in chunks.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "records/record_store.h"

namespace lp::records {

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordTableModel(QObject* parent = nullptr);

    // The column headings, which are also the header line of a saved list.
    [[nodiscard]] static QStringList headerTexts();

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    [[nodiscard]] const RecordStore& store() const { return store_; }
    [[nodiscard]] qsizetype recordCount() const { return store_.count(); }

    // Appends one record at the end. False when the store is full.
    bool append(QStringView no, QStringView dateTime, QStringView level);
    // Appends all records of `chunk` at the end, announced as one insertion.
    bool append(const RecordStore& chunk);
    // Empties the list (the headings stay).
    void clear();
    // Gives back the store's room for growth (after a file is listed).
    void squeeze() { store_.squeeze(); }
    // An empty list becomes one over a record file (RecordStore::useSource).
    void useSource(std::shared_ptr<const RecordSource> source) {
        store_.useSource(std::move(source));
    }
    // Room for more records (RecordStore::reserve).
    void reserve(qsizetype records, qsizetype textBytes) { store_.reserve(records, textBytes); }
    // Replaces all records at once.
    void replace(RecordStore&& records);

private:
    RecordStore store_;
};

}  // namespace lp::records
