#include "ui/control_model.h"

#include <cstdio>
#include <cstdlib>

namespace tapwright::ui {

ControlModel::ControlModel() {
    for (const ControlDef& def : ControlTable()) {
        ControlState s;
        s.text = std::string(def.caption);
        states_.emplace(def.id, std::move(s));
    }
}

const ControlState& ControlModel::State(int id) const {
    const auto it = states_.find(id);
    if (it == states_.end()) {
        std::fprintf(stderr, "no control with id %d\n", id);
        std::abort();
    }
    return it->second;
}

ControlState& ControlModel::Mutable(int id) {
    return const_cast<ControlState&>(State(id));
}

void ControlModel::Touch(ControlState& s) {
    s.version = ++version_;
}

void ControlModel::Show(int id, bool visible) {
    ControlState& s = Mutable(id);
    if (s.visible == visible) return;
    s.visible = visible;
    Touch(s);
}

void ControlModel::Enable(int id, bool enabled) {
    ControlState& s = Mutable(id);
    if (s.enabled == enabled) return;
    s.enabled = enabled;
    Touch(s);
}

void ControlModel::SetText(int id, const std::string& text) {
    ControlState& s = Mutable(id);
    if (s.text == text) return;
    s.text = text;
    Touch(s);
    if (textListener_) textListener_(id);
}

void ControlModel::SetChecked(int id, bool checked) {
    ControlState& s = Mutable(id);
    if (s.checked == checked) return;
    s.checked = checked;
    Touch(s);
}

void ControlModel::SetItems(int id, std::vector<std::string> items) {
    ControlState& s = Mutable(id);
    s.items = std::move(items);
    s.selection = -1;
    Touch(s);
}

void ControlModel::AddItem(int id, const std::string& item) {
    ControlState& s = Mutable(id);
    s.items.push_back(item);
    Touch(s);
}

void ControlModel::InsertItem(int id, int index, const std::string& item) {
    ControlState& s = Mutable(id);
    if (index < 0 || index > static_cast<int>(s.items.size()))
        index = static_cast<int>(s.items.size());
    s.items.insert(s.items.begin() + index, item);
    if (s.selection >= index) ++s.selection;
    Touch(s);
}

void ControlModel::DeleteItem(int id, int index) {
    ControlState& s = Mutable(id);
    if (index < 0 || index >= static_cast<int>(s.items.size())) return;
    s.items.erase(s.items.begin() + index);
    if (s.selection == index) {
        s.selection = -1;
    } else if (s.selection > index) {
        --s.selection;
    }
    Touch(s);
}

void ControlModel::Select(int id, int index) {
    ControlState& s = Mutable(id);
    if (index < 0 || index >= static_cast<int>(s.items.size())) index = -1;
    if (s.selection == index) return;
    s.selection = index;
    Touch(s);
}

void ControlModel::SetRows(int id, std::shared_ptr<const std::vector<double>> rows) {
    ControlState& s = Mutable(id);
    s.rows = std::move(rows);
    Touch(s);
}

void ControlModel::MarkChanged(int id) {
    Touch(Mutable(id));
}

void ControlModel::SetTextChangeListener(std::function<void(int id)> listener) {
    textListener_ = std::move(listener);
}

}  // namespace tapwright::ui
