#include "LayoutForms.h"

namespace corv::fake {

std::unique_ptr<InMemoryForm>
BuildInMemoryForm(const FormLayout& layout,
                  const std::function<std::wstring(const std::wstring& key)>& lookUp) {
    auto form = std::make_unique<InMemoryForm>(layout.name, layout.title);
    for (const ControlLayout& c : layout.controls) {
        InMemoryControl& control = form->Add(c.name, c.kind, c.caption);
        if (c.kind != ControlKind::List)
            continue;
        for (const auto& item : c.items)
            control.AddItem(item);
        for (int i = 0; i < c.lookedUpItems; ++i) {
            const std::wstring key = layout.name + L"|" + c.name + L"|" + std::to_wstring(i);
            control.AddItem(lookUp ? lookUp(key) : key);
        }
    }
    return form;
}

} // namespace corv::fake
