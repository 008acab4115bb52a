# The program's layers, one folder each under src/, lowest first, each with its level. A file
# may include headers of its own layer and of layers on a lower level only; layers on one level
# know nothing of each other. The printed pages (Qt Gui, no widgets) and, above them, the windows
# and the command-line companion are the top; the rest is the core, which never links Qt.
set(QV_CORE_LAYERS platform:0 table:1 interchange:2 tools:2 history:2 view:2 edit:2 app:3)
set(QV_TOP_LAYERS print:4 gui:5 cli:5)
set(QV_LAYERS ${QV_CORE_LAYERS} ${QV_TOP_LAYERS})
