// The toolbar's image list, drawn by the program: 0 event details (a pen over a card), 1 a
// preview (magnifier over a card), 2 print one card, 3 print all cards. 16 × 16 pixels each.
#pragma once

#include <QIcon>
#include <QList>

QList<QIcon> toolbarImages();
