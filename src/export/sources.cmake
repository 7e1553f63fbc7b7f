# Sources of the export part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
