#pragma once

#include <QWidget>
#include <functional>

namespace rf {

class CPage;
struct PageContext;

// Makes the page with an id, as a child of the container.
using PageFactory = std::function<CPage*(int pageId, const PageContext& context, QWidget* container)>;

} // namespace rf
