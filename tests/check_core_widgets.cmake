# The program's logic (app/cli, app/core) stays free of widgets, so tests drive it without a
# window: no file there may include a QtWidgets header.
file(GLOB_RECURSE sources ${SRC}/app/core/*.cpp ${SRC}/app/core/*.h ${SRC}/app/cli/*.cpp
     ${SRC}/app/cli/*.h)
set(widget_headers QApplication QWidget QDialog QMainWindow QMessageBox QAbstractItemView
    QTreeView QListView QTableView QHeaderView QLabel QPushButton QProgressDialog QFileDialog
    QStyledItemDelegate QStyleOptionViewItem QtWidgets)
set(found "")
foreach(file IN LISTS sources)
  file(STRINGS ${file} includes REGEX "^#[ \t]*include[ \t]*<")
  foreach(line IN LISTS includes)
    foreach(header IN LISTS widget_headers)
      if(line MATCHES "<(QtWidgets/)?${header}[>.]")
        list(APPEND found "${file}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n" text)
  message(FATAL_ERROR "widget headers in the program's logic:\n${text}")
endif()
