#pragma once

class QWidget;

// Style sheets of the pages that are not shown yet. Qt decodes every picture
// of a style sheet each time the widgets around it are restyled, hidden pages
// included, and building the form restyles each page as it joins the stack.
// The form keeps the rules with pictures, and every rule of the progress and
// finished pages, in the property named below instead of the style sheet;
// they become style sheets after the window's first frame, or when their page
// appears before that.
class PageImages
{
public:
    static constexpr const char* property = "pageStyleSheet";

    // Moves the property into the style sheet of page and its widgets (once);
    // a style sheet set meanwhile is kept.
    static void restore(QWidget* page);

    // On a 2x screen Qt draws an "image:" picture that is smaller than its
    // label at twice its size (the icon is sized by its pixels). As a centred
    // background it keeps its size at every scale and still gets the @2x
    // file. Rewrites such rules below root, deferred ones included.
    static void centreSmallPictures(QWidget* root);
};
