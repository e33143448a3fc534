Transmission-gate multiplexer, HSPICE deck
* A simulator's deck: a title line, options, a model file that is not
* here, a parameter, sources that drive the inputs, a load and a measure.
.option post=2 nomod
.include 'models/cmos018.sp'
.param supply=1.8
Vdd vdd 0 supply
Va a 0 pulse(0 supply 0 0.1n 0.1n 10n 20n)
Vb b 0 pwl(0 0 20n 0 20.1n supply)
Vs s 0 pulse(0 supply 0 0.1n 0.1n 40n 80n)
MN1 sn s 0 0 nch w=1u l=0.18u
MP1 sn s vdd vdd pch w=2u l=0.18u
MN2 a sn y 0 nch w=1u l=0.18u
MP2 a s y vdd pch w=2u l=0.18u
MN3 b s y 0 nch w=1u l=0.18u
MP3 b sn y vdd pch w=2u l=0.18u
MN4 z y 0 0 nch w=1u l=0.18u
MP4 z y vdd vdd pch w=2u l=0.18u
Cload z 0 10f
.tran 0.1n 100n
.measure tran tpd trig v(s) val='supply/2' rise=1 targ v(z) val='supply/2' fall=1
.end
