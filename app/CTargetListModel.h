// The items of the main window's target list: a model over the shared sorted kavex::TargetList.
// Items stay code-page bytes (a path that does not convert keeps its bytes for the run); they are
// converted to Unicode only when the list view paints them. A drop is added as one batch, so a
// folder of 100,000 entries costs a sort and one reset of the view, not an insertion per item.
//
//   CTargetListModel model;
//   model.AddPaths(kavex::ExpandDroppedPaths(dropped));
//   view->setModel(&model);
#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <string>
#include <vector>

#include "engine/TargetList.h"

namespace kavex::app {

class CTargetListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit CTargetListModel(QObject* parent = nullptr);

    // Adds the paths at their sorted places; duplicates are kept.
    void AddPaths(std::vector<std::string> paths);
    void Clear();

    [[nodiscard]] std::size_t Count() const { return m_list.Count(); }
    [[nodiscard]] const std::string& Item(std::size_t index) const { return m_list.Items()[index]; }
    [[nodiscard]] const std::vector<std::string>& Items() const { return m_list.Items(); }

    // The widest item's text width in `font`, measured over the longest items by byte count, for
    // the list's horizontal scroll range (the view gives every row the same size).
    [[nodiscard]] int WidestItemWidth(const QFont& font) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

private:
    kavex::TargetList m_list;
    std::vector<std::string> m_longestItems;  // a few of the longest items, by bytes
};

}  // namespace kavex::app
