# Rewrites a generated classic deck as a layout extraction writes the same
# circuit: MOSFETs as calls to device subcircuits, nets named a_N#, named
# rails, bulk terminals on bulk-only nets, and the models left out.
# Usage: awk -f bench/to_spice.awk circuit.sp > circuit.spice
function net(name) {
  if (name == "gnd") return "VGND"
  if (name == "vdd") return "VPWR"
  sub(/^n/, "", name)
  return "a_" name "#"
}
/^\.subckt / {
  line = "* generated circuit\n.subckt " $2
  for (i = 3; i <= NF; i++) line = line " " net($i)
  print line " VGND VNB VPB VPWR"
  next
}
/^\.ends/ { print ".ends " $2; next }
/^M/ {
  sub(/^M/, "X", $1)
  p = ($6 == "pmos")
  printf "%s %s %s %s %s %s w=%s l=150000u\n", $1, net($2), net($3), net($4), p ? "VPB" : "VNB",
         p ? "sky130_fd_pr__pfet_01v8_hvt" : "sky130_fd_pr__nfet_01v8", p ? "1e+06u" : "650000u"
  next
}
