# The window and its widgets.
target_sources(plotwell-gui PRIVATE
  ui/AppDelegate.cpp ui/AppDelegate.h
  ui/AppearancePanel.cpp ui/AppearancePanel.h
  ui/ChartEditing.cpp ui/ChartEditing.h
  ui/ColorPickerPopover.cpp ui/ColorPickerPopover.h
  ui/FileDrop.cpp ui/FileDrop.h
  ui/GridView.cpp ui/GridView.h
  ui/ItemPickerPopover.cpp ui/ItemPickerPopover.h
  ui/MasterViewController.cpp ui/MasterViewController.h
  ui/Popovers.cpp ui/Popovers.h
  ui/RenderCommand.cpp ui/RenderCommand.h
  ui/SingleInstance.cpp ui/SingleInstance.h
  ui/Style.cpp ui/Style.h
)
qt_add_resources(plotwell-gui "ui-icons" PREFIX "/ui" BASE ui FILES ui/icons/chevron-down.svg)
# The local socket of the one-window hand-over.
target_link_libraries(plotwell-gui PUBLIC Qt6::Network)
