# Networks to and from files. The programs read every format; this package writes one, the CSV
# matrix form, as the bridge from R, and leaves every other format to `flowentry --convert`.

csv_field <- function(x) {
  quote <- grepl("[,\"\r\n]", x) | grepl("^\\s|\\s$", x)
  ifelse(quote, paste0("\"", gsub("\"", "\"\"", x), "\""), x)
}

# Numbers in the shortest form R gives that reads back to the same double; the programs round
# them to single precision as they read them.
number_text <- function(x) {
  vapply(x, function(v) {
    for (digits in 15:17) {
      text <- formatC(v, digits = digits, format = "g")
      if (as.numeric(text) == v) break
    }
    trimws(text)
  }, character(1))
}

# Writes the network as a CSV table of the matrix form, with its settings in # lines.
write_matrix_csv <- function(net, file) {
  names <- rownames(net$flows)
  one_line <- function(text) gsub("[\r\n]+", " ", text)
  settings <- c(
    if (nzchar(net$title)) paste0("# title: ", one_line(net$title)),
    if (!is.null(net$units)) paste0("# units: ", one_line(net$units)),
    if (!is.null(net$stock_units)) paste0("# stock units: ", one_line(net$stock_units)),
    vapply(names(net$settings), function(k) paste0("# ", k, ": ", one_line(net$settings[[k]])),
           character(1)))
  header <- paste(c("", csv_field(names), "export", "respiration", "stock", "living"),
                  collapse = ",")
  rows <- vapply(seq_along(names), function(i) {
    paste(c(csv_field(names[i]), number_text(net$flows[i, ]), number_text(net$export[i]),
            number_text(net$respiration[i]), number_text(net$stock[i]),
            if (net$living[i]) "yes" else "no"), collapse = ",")
  }, character(1))
  input <- paste(c("input", number_text(net$input), "", "", "", ""), collapse = ",")
  con <- file(file, open = "wb")
  on.exit(close(con))
  writeLines(c(settings, header, rows, input), con, sep = "\n", useBytes = TRUE)
  invisible(file)
}

# Reads a CSV table of the matrix form as `flowentry --convert` writes it.
read_matrix_csv <- function(file) {
  lines <- readLines(file, warn = FALSE, encoding = "UTF-8")
  hashes <- grepl("^#", lines)
  settings <- list()
  for (line in sub("^#\\s*", "", lines[hashes])) {
    key <- sub(":.*$", "", line)
    if (grepl(":", line)) settings[[trimws(key)]] <- trimws(sub("^[^:]*:", "", line))
  }
  table <- read.csv(text = lines[!hashes], check.names = FALSE, stringsAsFactors = FALSE,
                    na.strings = "", encoding = "UTF-8", colClasses = "character")
  names <- setdiff(table[[1]], "input")
  numbers <- function(column, rows = names) {
    if (!column %in% colnames(table)) return(rep(0, length(rows)))
    v <- as.numeric(table[match(rows, table[[1]]), column])
    v[is.na(v)] <- 0
    v
  }
  flows <- vapply(names, function(to) numbers(to), numeric(length(names)))
  flows <- matrix(flows, length(names), dimnames = list(names, names))
  input <- if ("input" %in% table[[1]]) numbers_in_row(table, "input", names) else NULL
  living <- if ("living" %in% colnames(table)) {
    tolower(table[match(names, table[[1]]), "living"]) %in% c("yes", "true", "1")
  } else NULL
  flownet_network(flows, input = input, export = numbers("export"),
                  respiration = numbers("respiration"), stock = numbers("stock"),
                  living = living, title = if (is.null(settings$title)) "" else settings$title,
                  units = settings$units, stock_units = settings[["stock units"]],
                  settings = settings[setdiff(names(settings), c("title", "units", "stock units"))])
}

numbers_in_row <- function(table, row, columns) {
  v <- as.numeric(unlist(table[match(row, table[[1]]), columns]))
  v[is.na(v)] <- 0
  v
}

format_of <- function(file, format) {
  if (!is.null(format)) return(match.arg(format, c("scor", "csv", "csv-edges", "nea")))
  if (grepl("\\.csv$", file, ignore.case = TRUE)) return("csv")
  if (grepl("\\.nea$", file, ignore.case = TRUE)) return("nea")
  "scor"
}

# The options of the readers for what a file may not say.
reader_options <- function(title = NULL, units = NULL, non_living = NULL) {
  c(if (!is.null(title)) c("--title", title),
    if (!is.null(units)) c("--units", units),
    if (!is.null(non_living)) c("--non-living", paste(non_living, collapse = ",")))
}

flownet_read <- function(file, title = NULL, units = NULL, non_living = NULL) {
  if (!file.exists(file)) stop(flownet_condition(paste0(file, ": no such file"), "flownet_error"))
  csv <- tempfile("flownet-", fileext = ".csv")
  on.exit(unlink(csv), add = TRUE)
  result <- run_program("flowentry", c("--convert", file, "-o", csv, "--to", "csv",
                                       reader_options(title, units, non_living)))
  warn_lines(result$stderr)
  read_matrix_csv(csv)
}

flownet_write <- function(x, file, format = NULL, force = FALSE) {
  net <- as_flownet_network(x)
  csv <- tempfile("flownet-", fileext = ".csv")
  on.exit(unlink(csv), add = TRUE)
  write_matrix_csv(net, csv)
  result <- run_program("flowentry", c("--convert", csv, "-o", file, "--to",
                                       format_of(file, format), if (force) "--force", "-q"))
  warn_lines(result$stderr)
  invisible(file)
}
