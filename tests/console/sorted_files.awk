# Lines of pscopecl with the replaced files (the last field) sorted, CR LF
# kept: a directory's order is its file system's, so two file systems give
# the same names in different orders.
BEGIN { FS = OFS = "\t" }
{
  cr = sub(/\r$/, "")
  n = split($NF, f, ", ")
  for (i = 1; i <= n; i++)
    for (j = i + 1; j <= n; j++)
      if (f[j] < f[i]) { t = f[i]; f[i] = f[j]; f[j] = t }
  s = ""
  for (i = 1; i <= n; i++) s = s (i > 1 ? ", " : "") f[i]
  if (n > 0) $NF = s
  printf "%s%s\n", $0, cr ? "\r" : ""
}
