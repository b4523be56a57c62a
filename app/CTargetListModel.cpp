#include "app/CTargetListModel.h"

#include <QFontMetrics>
#include <algorithm>

#include "app/QtText.h"

namespace kavex::app {
namespace {

// How many of the longest items are measured: bytes are only a guide to the drawn width.
constexpr std::size_t kMeasuredItems = 32;

}  // namespace

CTargetListModel::CTargetListModel(QObject* parent) : QAbstractListModel(parent) {}

void CTargetListModel::AddPaths(std::vector<std::string> paths) {
    if (paths.empty()) return;
    const auto longer = [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    };
    // A heap whose front is the shortest of the kept items, the first to give way.
    std::vector<std::string> candidates = m_longestItems;
    for (const std::string& path : paths) {
        if (candidates.size() < kMeasuredItems) {
            candidates.push_back(path);
            std::push_heap(candidates.begin(), candidates.end(), longer);
        } else if (path.size() > candidates.front().size()) {
            std::pop_heap(candidates.begin(), candidates.end(), longer);
            candidates.back() = path;
            std::push_heap(candidates.begin(), candidates.end(), longer);
        }
    }

    beginResetModel();
    m_list.Add(std::move(paths));
    m_longestItems = std::move(candidates);
    endResetModel();
}

void CTargetListModel::Clear() {
    beginResetModel();
    m_list.Clear();
    m_longestItems.clear();
    endResetModel();
}

int CTargetListModel::WidestItemWidth(const QFont& font) const {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const std::string& item : m_longestItems) {
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(item)));
    }
    return widest;
}

int CTargetListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.Count());
}

QVariant CTargetListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= Count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return ToQString(Item(static_cast<std::size_t>(index.row())));
    }
    return {};
}

}  // namespace kavex::app
