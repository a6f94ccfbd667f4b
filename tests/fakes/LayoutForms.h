#pragma once
// In-memory windows built from the window designs, in load order, with their design captions
// and list items.
#include <functional>
#include <memory>

#include "InMemoryForm.h"
#include "ui/FormLayouts.h"

namespace corv::fake {

// Items that are looked up by key get the text that `lookUp` gives for "window|list|i"; without
// it they get the key itself.
std::unique_ptr<InMemoryForm>
BuildInMemoryForm(const FormLayout& layout,
                  const std::function<std::wstring(const std::wstring& key)>& lookUp = {});

} // namespace corv::fake
