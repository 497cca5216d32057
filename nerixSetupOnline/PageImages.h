#pragma once

class QWidget;

// Pictures of the pages that are not shown yet. Qt decodes every picture of a
// style sheet each time the widgets around it are restyled, hidden pages
// included, and building the form restyles each page as it joins the stack.
// The form keeps the rules with those pictures in the property named below
// instead of the style sheet; a page's rules become style sheets when the
// page first appears.
class PageImages
{
public:
    static constexpr const char* property = "pageStyleSheet";

    // Moves the property into the style sheet of page and its widgets (once);
    // a style sheet set meanwhile is kept.
    static void restore(QWidget* page);
};
